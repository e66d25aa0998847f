// CWinApp's profile operations: the INI file named after the executable, and the message box
// that tells the user when it could not be written.
#include <QCoreApplication>
#include <memory>

#include "profile/ProfileStore.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

namespace {

void showWriteError(const ProfileError& error)
{
    CString text;
    text.Format("設定ファイルに書き込めませんでした。\n\n%s\n%s\n\n"
                "入力した内容はこのまま保持し、次の保存のときにすべて書き込みます。",
                error.file.c_str(), error.reason.c_str());
    AfxMessageBox(text, MB_OK | MB_ICONERROR);
}

} // namespace

ProfileStore& CWinApp::Profile()
{
    if (!m_profile) {
        std::string name = m_appName.str();
        if (name.empty())
            name = QCoreApplication::applicationName().toStdString(); // the executable's name
        if (name.empty())
            name = "ombrelclock";
        m_profile = std::make_unique<ProfileStore>(m_profilePath.IsEmpty() ? DefaultProfilePath(name)
                                                                           : std::filesystem::path(m_profilePath.str()));
        m_profile->SetErrorHandler(showWriteError);
    }
    return *m_profile;
}

void CWinApp::SetProfilePath(const char* path)
{
    m_profilePath = path ? path : "";
    m_profile.reset();
}

int CWinApp::GetProfileInt(const char* section, const char* key, int defaultValue)
{
    return Profile().GetInt(section, key, defaultValue);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* key, int value)
{
    return Profile().WriteInt(section, key, value);
}

CString CWinApp::GetProfileString(const char* section, const char* key, const char* defaultValue)
{
    return CString(Profile().GetString(section, key, defaultValue ? defaultValue : ""));
}

BOOL CWinApp::WriteProfileString(const char* section, const char* key, const char* value)
{
    return Profile().WriteString(section, key, value ? value : "");
}
