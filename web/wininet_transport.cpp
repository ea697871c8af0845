// The HTTP transport on WinInet: LoadLibraryA and GetProcAddress find the
// functions, each called as the page fetch needs it. wininet.h gives the types
// and constants only; nothing links against wininet.dll.
#include "web/wininet_transport.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "text/text.h"

namespace dsr {
namespace {

using InternetOpenAFn = HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
using InternetConnectAFn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR,
                                              DWORD, DWORD, DWORD_PTR);
using HttpOpenRequestAFn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*,
                                              DWORD, DWORD_PTR);
using HttpSendRequestAFn = BOOL(WINAPI*)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD);
using InternetReadFileFn = BOOL(WINAPI*)(HINTERNET, LPVOID, DWORD, LPDWORD);
using HttpQueryInfoAFn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD);
using InternetCloseHandleFn = BOOL(WINAPI*)(HINTERNET);
using InternetSetCookieAFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR);
using InternetSetOptionAFn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);

struct WinInet {
  InternetOpenAFn open = nullptr;
  InternetConnectAFn connect = nullptr;
  HttpOpenRequestAFn openRequest = nullptr;
  HttpSendRequestAFn send = nullptr;
  InternetReadFileFn read = nullptr;
  HttpQueryInfoAFn queryInfo = nullptr;
  InternetCloseHandleFn closeHandle = nullptr;
  InternetSetCookieAFn setCookie = nullptr;
  InternetSetOptionAFn setOption = nullptr;

  bool Complete() const {
    return open && connect && openRequest && send && read && queryInfo && closeHandle &&
           setCookie && setOption;
  }
};

template <typename F>
void Bind(HMODULE module, const char* name, F& function) {
  function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The functions of `library`, or none at all when any one is missing. The
// library stays loaded for the rest of the process.
WinInet Load(const char* library) {
  WinInet w;
  HMODULE module = LoadLibraryA(library);
  if (module == nullptr) return {};
  Bind(module, "InternetOpenA", w.open);
  Bind(module, "InternetConnectA", w.connect);
  Bind(module, "HttpOpenRequestA", w.openRequest);
  Bind(module, "HttpSendRequestA", w.send);
  Bind(module, "InternetReadFile", w.read);
  Bind(module, "HttpQueryInfoA", w.queryInfo);
  Bind(module, "InternetCloseHandle", w.closeHandle);
  Bind(module, "InternetSetCookieA", w.setCookie);
  Bind(module, "InternetSetOptionA", w.setOption);
  return w.Complete() ? w : WinInet{};
}

std::vector<std::string>& ConnectToRules() {
  static std::vector<std::string> rules;
  return rules;
}

// The host and port a connection for `host` and `port` goes to.
void Route(std::string& host, int& port) {
  const std::string from = AsciiLower(host) + ":" + std::to_string(port) + ":";
  for (const std::string& rule : ConnectToRules()) {
    if (rule.compare(0, from.size(), from) != 0) continue;
    const std::string to = rule.substr(from.size());
    const std::size_t colon = to.rfind(':');
    if (colon == std::string::npos) continue;
    host = to.substr(0, colon);
    port = std::atoi(to.c_str() + colon + 1);
    return;
  }
}

HINTERNET AsHandle(InternetHandle h) { return reinterpret_cast<HINTERNET>(h); }
InternetHandle FromHandle(HINTERNET h) { return reinterpret_cast<InternetHandle>(h); }

// 60 seconds to connect, and 60 seconds at most for any send or receive to
// make progress.
void SetTimeouts(const WinInet& w, HINTERNET root) {
  DWORD ms = 60000;
  w.setOption(root, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
  w.setOption(root, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
  w.setOption(root, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

}  // namespace

HttpTransport WinInetTransportFrom(const char* library) {
  const WinInet w = Load(library);
  HttpTransport t;
  if (!w.Complete()) return t;  // every operation fails (transport.h)
  t.open = [w](std::string_view agent, int accessType, std::string_view proxy) {
    const std::string a(agent);
    const std::string p(proxy);
    HINTERNET root = w.open(a.c_str(), static_cast<DWORD>(accessType),
                            accessType == kOpenTypeProxy ? p.c_str() : nullptr, nullptr, 0);
    if (root != nullptr) SetTimeouts(w, root);
    return FromHandle(root);
  };
  t.connect = [w](InternetHandle root, std::string_view host, int port, std::string_view user,
                  std::string_view password, int service) {
    std::string h(host);
    Route(h, port);
    const std::string u(user);
    const std::string p(password);
    return FromHandle(w.connect(AsHandle(root), h.c_str(), static_cast<INTERNET_PORT>(port),
                                u.c_str(), p.c_str(), static_cast<DWORD>(service), 0, 0));
  };
  t.openRequest = [w](InternetHandle connection, std::string_view method,
                      std::string_view objectPath, std::string_view version, std::uint32_t flags) {
    const std::string m(method);
    const std::string o(objectPath);
    const std::string v(version);
    // A redirection from http to https is followed as any other one.
    const DWORD allFlags = static_cast<DWORD>(flags) | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    return FromHandle(w.openRequest(AsHandle(connection), m.empty() ? nullptr : m.c_str(),
                                    o.c_str(), v.c_str(), nullptr, nullptr, allFlags, 0));
  };
  t.send = [w](InternetHandle request, std::string_view headers, std::string_view body) {
    const std::string h(headers);
    std::string b(body);
    return w.send(AsHandle(request), h.empty() ? nullptr : h.c_str(),
                  static_cast<DWORD>(headers.size()), b.empty() ? nullptr : b.data(),
                  static_cast<DWORD>(b.size())) != FALSE;
  };
  t.read = [w](InternetHandle request, char* buffer, int capacity, int& count) {
    DWORD n = 0;
    const BOOL ok =
        capacity > 0 && w.read(AsHandle(request), buffer, static_cast<DWORD>(capacity), &n);
    count = ok ? static_cast<int>(n) : 0;
    return ok != FALSE;
  };
  t.queryInfo = [w](InternetHandle request, int infoLevel, Text& buffer, int capacity) {
    if (capacity <= 0) return false;
    std::vector<char> bytes(static_cast<std::size_t>(capacity));
    DWORD length = static_cast<DWORD>(capacity);
    if (!w.queryInfo(AsHandle(request), static_cast<DWORD>(infoLevel), bytes.data(), &length,
                     nullptr)) {
      return false;
    }
    // A request whose sending failed has no response, and no header block
    // (WinInet hands out an empty one, "\r\n").
    if (length < 5 || std::string_view(bytes.data(), 5) != "HTTP/") return false;
    buffer.assign(bytes.data(), length);
    return true;
  };
  t.closeHandle = [w](InternetHandle handle) { return w.closeHandle(AsHandle(handle)) != FALSE; };
  t.setCookie = [w](std::string_view url, std::string_view name, std::string_view value) {
    const std::string u(url);
    const std::string n(name);
    const std::string v(value);
    return w.setCookie(u.c_str(), n.empty() ? nullptr : n.c_str(), v.c_str()) != FALSE;
  };
  return t;
}

HttpTransport WinInetTransport() { return WinInetTransportFrom("wininet.dll"); }

void SetWinInetConnectTo(std::vector<std::string> rules) { ConnectToRules() = std::move(rules); }

}  // namespace dsr
