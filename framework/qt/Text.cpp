// Text comparison forms through QString's Unicode normalisation and case folding.
#include "framework/Text.h"

#include <QString>

std::u16string AfxFoldText(std::string_view utf8)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded().toStdU16String();
}
