// CWinApp's profile operations: the INI file named after the executable, and the message box
// that tells the user when it could not be written.
#include <QCoreApplication>
#include <cstdlib>
#include <memory>

#include "profile/ProfileStore.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

namespace {

std::unique_ptr<ProfileStore>& storeSlot()
{
    static std::unique_ptr<ProfileStore> store;
    return store;
}

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
    // The path follows the environment, so a changed configuration folder is honoured; it is
    // worked out again only when something it depends on changed (loading reads many keys).
    static std::string lastInputs;
    auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    std::string inputs = m_appName.str() + '\n' + m_profilePath.str() + '\n' + env("XDG_CONFIG_HOME") + '\n' + env("HOME");
    auto& store = storeSlot();
    if (store && inputs == lastInputs)
        return *store;
    std::string name = m_appName.str();
    if (name.empty())
        name = QCoreApplication::applicationName().toStdString(); // the executable's name
    if (name.empty())
        name = "ombrelclock";
    const std::filesystem::path path = m_profilePath.IsEmpty() ? DefaultProfilePath(name) : std::filesystem::path(m_profilePath.str());
    if (!store || store->path() != path) {
        store = std::make_unique<ProfileStore>(path);
        store->SetErrorHandler(showWriteError);
    }
    lastInputs = std::move(inputs);
    return *store;
}

void CWinApp::SetProfilePath(const char* path)
{
    m_profilePath = path ? path : "";
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
