#include "res/Resource.h"
#include "res/Resources.h"

namespace {
constexpr StringResource kStrings[] = {
    {IDS_ABOUT_ENTRY, "OmbrelClock の情報と設定(&A)"},
    {IDS_TOPMOST_ENTRY, "常に手前に表示"},
    {IDS_STICKY_ENTRY, "すべてのデスクトップに表示"},
    {IDS_WEEKSTART_ENTRY, "月曜始まり"},
    {IDS_SEARCH_ENTRY, "トピックを検索...\tCtrl+F"},
    {IDS_NOTIFY_ENTRY, "今日のトピックを通知"},
    {IDS_EXPORT_ENTRY, "iCalendar 形式で書き出す..."},
};
}

std::span<const StringResource> res::StringTable()
{
    return kStrings;
}
