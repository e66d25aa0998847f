// CWinApp's profile operations: the INI file named after the executable, its daily backup, and
// the message box that tells the user when it could not be written.
#include <QCoreApplication>
#include <memory>

#include "core/Time.h"
#include "profile/Backups.h"
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
        m_backups = std::make_unique<ProfileBackups>(m_profile->path(), DefaultBackupFolder());
    }
    return *m_profile;
}

ProfileBackups& CWinApp::Backups()
{
    Profile();
    return *m_backups;
}

void CWinApp::SetProfilePath(const char* path)
{
    m_profilePath = path ? path : "";
    m_profile.reset();
    m_backups.reset();
    m_backupCheckedAt = -1;
}

int CWinApp::GetProfileInt(const char* section, const char* key, int defaultValue)
{
    return Profile().GetInt(section, key, defaultValue);
}

void CWinApp::BackUpBeforeWrite()
{
    Profile();
    const CTime now = CTime::GetCurrentTime();
    if (now.GetTime() == m_backupCheckedAt)
        return;
    m_backupCheckedAt = now.GetTime();
    std::string reason;
    // A backup that cannot be made must not stop the write it was meant to protect.
    m_backups->BeforeWrite(now.Format("%Y-%m-%d").view(), reason);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* key, int value)
{
    BackUpBeforeWrite();
    return Profile().WriteInt(section, key, value);
}

CString CWinApp::GetProfileString(const char* section, const char* key, const char* defaultValue)
{
    return CString(Profile().GetString(section, key, defaultValue ? defaultValue : ""));
}

BOOL CWinApp::WriteProfileString(const char* section, const char* key, const char* value)
{
    BackUpBeforeWrite();
    return Profile().WriteString(section, key, value ? value : "");
}
