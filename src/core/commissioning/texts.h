#pragma once
// The console's own texts, byte for byte as the user sees them.

namespace room::commissioning::text {

inline constexpr const char* kNoPort = "请选择串口!";
inline constexpr const char* kRunActive = "正在发送所有数据!";
inline constexpr const char* kNoOperation = "请选择发送类型!";
inline constexpr const char* kTypeUnknown = "设备类型未确定，请修改!";
inline constexpr const char* kBadDevice = "设备编号超出范围(1-32)!";
// Send all from a room type without devices would give device 1 an all-zero configuration.
inline constexpr const char* kNothingToSend =
    "房型中没有在用的设备，下发会清空设备的配置!\n请先打开或新建房型。";

inline constexpr const char* kQuestionCaption = "询问...";
inline constexpr const char* kAskOnReceipt = "收到即执行，将覆盖所有配置数据?";
inline constexpr const char* kAskReadAll = "将覆盖现有数据，是否继续?";
inline constexpr const char* kAskClearAll = "是否清除全部配置数据?";
inline constexpr const char* kAskLeaveNetwork = "将所有在网设备退网，是否继续?";

inline constexpr const char* kSending = "发送中";
inline constexpr const char* kSent = "发送完成";
inline constexpr const char* kReadDone = "读取完成";
inline constexpr const char* kVerifyDone = "校验完成";
inline constexpr const char* kServing = "正在处理第%02d个";
// A number answered out of turn in a run: two talkers claim it, nothing of it is vouched for.
inline constexpr const char* kConflict = "第%02d个面板编号冲突";
inline constexpr const char* kVerdictFailed = "第%02d个面板异常";
inline constexpr const char* kVerdictOk = "第%02d个面板OK  ";

inline constexpr const char* kUnread = "未读到的编号:";
inline constexpr const char* kAbnormal = "数据异常的编号:";
// A run cut short says so, and which devices it never served.
inline constexpr const char* kUnreached = "未处理的编号:";
inline constexpr const char* kStopped = "已停止";
inline constexpr const char* kPortLost = "中断: 串口断开";
inline constexpr const char* kSendName = "发送";
inline constexpr const char* kReadName = "读取";
inline constexpr const char* kVerifyName = "校验";

}  // namespace room::commissioning::text
