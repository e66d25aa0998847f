// The file chooser the program asks with: the toolkit's own dialog (not the desktop's), so it
// speaks Japanese with the rest of the program.
#include <QFileDialog>

#include "framework/Wnd.h"
#include "framework/WinApp.h"
#include "framework/qt/WndImpl.h"

CString AfxGetSaveFileName(const char* title, const char* suggestedName, const char* filter)
{
    CWnd* main = AfxGetMainWnd();
    QWidget* owner = main && main->GetImpl() ? main->GetImpl()->widget.data() : nullptr;
    QFileDialog dialog(owner ? owner->window() : nullptr, QString::fromUtf8(title));
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QString::fromUtf8(filter));
    dialog.selectFile(QString::fromUtf8(suggestedName));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return CString(dialog.selectedFiles().first().toUtf8().toStdString());
}
