#include "framework/qt/DialogFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QStringList>

namespace {

// Proportional Japanese Gothics first, in order of preference; then fixed-pitch ones.
const QStringList& gothicCandidates()
{
    static const QStringList families = {
        "IPAPGothic", "IPA Pゴシック", "IPAexGothic", "VL PGothic", "TakaoPGothic",
        "Noto Sans CJK JP", "Source Han Sans JP", "Meiryo", "Yu Gothic", "MS PGothic",
        "Hiragino Sans", "IPAGothic", "VL Gothic", "TakaoGothic", "MS Gothic",
    };
    return families;
}

QString firstInstalled(const QStringList& wanted)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : wanted) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    // Any family that can write Japanese at all beats boxes.
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

} // namespace

QFont MapDialogFont(const char* faceName, int pointSize)
{
    static QHash<QString, QString> cache;
    const QString face = QString::fromUtf8(faceName);
    auto it = cache.find(face);
    if (it == cache.end()) {
        const bool gothic = face.contains(QStringLiteral("ゴシック")) || face.contains("Gothic", Qt::CaseInsensitive);
        QString family = QFontDatabase::families().contains(face) ? face : QString();
        if (family.isEmpty() && gothic)
            family = firstInstalled(gothicCandidates());
        it = cache.insert(face, family);
    }
    QFont font;
    if (!it->isEmpty())
        font.setFamilies({*it});
    font.setPointSize(pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogBaseUnits MeasureBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    DialogBaseUnits units;
    units.cx = AverageCharWidth(
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")));
    // The template font has no internal leading, so its character height is its em. Japanese
    // Gothics here round ascent and descent up separately (13 px for a 12 px em), which would
    // stretch every template by an eighth; the em keeps the templates' proportions.
    units.cy = QFontInfo(font).pixelSize();
    return units;
}
