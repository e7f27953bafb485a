// WebRequest: one HTTP request through the WinHTTP handle functions (a session, a connection
// on it, a request on that), returning the response body as text decoded by its declared
// character set. Failures are reported by the numbered error texts in statusText, never raised.
#pragma once

#include "http/request_options.h"
#include "http/winhttp_api.h"
#include "util/text_types.h"

namespace lumeno {

// The error texts written into statusText, one per failing step.
namespace web_request_errors {
inline constexpr const char* kNoPlatform = "700 当前系统不支持WinHttp服务!";
inline constexpr const char* kCrackUrl = "701 解析URL地址失败!";
inline constexpr const char* kOpenSession = "702 创建WinHttp会话失败!";
inline constexpr const char* kConnect = "703 创建WinHttp连接失败!";
inline constexpr const char* kOpenRequest = "704 创建WinHttp请求失败!";
inline constexpr const char* kTimeouts = "705 设置超时时间失败!";
inline constexpr const char* kCredentials = "707 设置代理凭证失败!";
inline constexpr const char* kCertificates = "忽略错误/证书错误  失败！";
inline constexpr const char* kCookieOption = "708 禁止自动设置Cookies失败!";
inline constexpr const char* kRedirects = "709 重定向设置失败!";
inline constexpr const char* kHeaders = "710 设置协议头失败!";
inline constexpr const char* kSend = "711 发送请求失败!";
inline constexpr const char* kNoResponse = "712 服务器未响应!";
inline constexpr const char* kRead = "713 读取数据失败!";
}  // namespace web_request_errors

// Performs the request on the process's WinHTTP functions.
Text WebRequest(const Text& url, const RequestOptions& options = {});

// The same on the given functions.
Text WebRequest(WinHttpApi& api, const Text& url, const RequestOptions& options = {});

}  // namespace lumeno
