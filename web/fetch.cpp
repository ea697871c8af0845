// The page fetch: request assembly, method rules, the read loop with waiting
// window events, failure results and cookie capture, over the bound transport.
#include "web/fetch.h"

#include "app/window_ops.h"
#include "web/transport.h"
#include "web/url.h"

namespace dsr {
namespace {

constexpr std::string_view kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr std::string_view kDefaultAcceptLine =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*\r\n";
constexpr std::string_view kSetCookie = "Set-Cookie: ";
constexpr int kReadBufferSize = 2048;
constexpr int kHeaderBufferSize = 1024;
// Body bytes one fetch keeps at most; past that reading stops as it does
// after a read that fails midway.
constexpr int kBodyLimit = 32 << 20;
constexpr std::size_t kSmallBody = 1 << 20;

// The address as a header value: control bytes other than tab, which would
// end or break the header line, become %XX as in a request target.
Text HeaderValue(std::string_view address) {
  return PercentEscape(address,
                       [](unsigned char b) { return (b < 0x20 && b != '\t') || b == 0x7F; });
}

// A parameter as text: the bytes before its first zero byte.
std::string_view AsText(std::string_view t) { return t.substr(0, t.find('\0')); }

bool Mentions(std::string_view headers, std::string_view name) {
  return PositionOf(headers, name, 1, true) > 0;
}

// Releases the handles in the order request, connection, root; 0 is skipped.
void Release(const HttpTransport& t, InternetHandle request, InternetHandle connection,
             InternetHandle root) {
  if (request) t.closeHandle(request);
  if (connection) t.closeHandle(connection);
  if (root) t.closeHandle(root);
}

// Every "Set-Cookie: " line of the header block goes to the cookie store
// under `cookieAddress`; waiting window events run after each line. A line
// that still holds a carriage return (a stray one, not the one before its
// line feed) is left out: a cookie holding it could break a header line of a
// later request.
void CaptureCookies(const HttpTransport& t, const Text& rawHeaders, const Text& cookieAddress) {
  if (!Mentions(rawHeaders, kSetCookie)) return;
  MemoryStream lines;
  lines.WriteText(rawHeaders);
  lines.Rewind();
  while (!lines.AtEnd()) {
    const Text line = lines.ReadLine();
    if (Mentions(line, kSetCookie) && line.find('\r') == Text::npos) {
      // The first 12 bytes go, wherever the match stood.
      const Text cookie = DeleteRange(line, 1, ByteLength(kSetCookie));
      const int equals = PositionOf(cookie, "=");
      // Without "=", the name is empty and the value is the whole rest.
      const Text name = LeftPart(cookie, equals - 1);
      const Text value = RightPart(cookie, ByteLength(cookie) - equals);
      t.setCookie(cookieAddress, name, value);
    }
    RunPendingEvents();
  }
  lines.Close();
}

}  // namespace

const Bytes& FetchFailureBytes() {
  static const Bytes failure = Zeros(255);
  return failure;
}

Bytes FetchPageBytes(std::string_view address, std::string_view method, std::string_view proxy,
                     Text& headers, std::string_view body, Text& rawHeaders) {
  address = AsText(address);
  method = AsText(method);
  proxy = AsText(proxy);
  body = AsText(body);
  // A copy: a handler that rebinds the transport while this fetch waits for
  // window events must not change the operations its handles belong to.
  const HttpTransport t = CurrentTransport();

  const Text objectPath = UrlObjectPath(address);
  const Text host = UrlHost(address, false);

  const InternetHandle root = StripSpaces(proxy).empty()
                                  ? t.open(kUserAgent, kOpenTypeDirect, "")
                                  : t.open(kUserAgent, kOpenTypeProxy, Join({"http=", proxy}));
  if (!root) return FetchFailureBytes();

  // A host or port no connection can be made to fails as a refused
  // connection would, without asking the transport.
  const int port = ConnectionPort(UrlPort(address));
  const InternetHandle connection =
      IsPlainHost(host) && port != 0 ? t.connect(root, host, port, "", "", kServiceHttp) : 0;
  if (!connection) {
    Release(t, 0, 0, root);
    return FetchFailureBytes();
  }

  const InternetHandle request =
      t.openRequest(connection, method, RequestTarget(objectPath), "HTTP/1.1", kFlagReload);
  if (!request) {
    Release(t, 0, connection, root);
    return FetchFailureBytes();
  }

  if (!Mentions(headers, "Accept: ")) headers += kDefaultAcceptLine;
  if (!Mentions(headers, "Referer: ")) headers += Join({"Referer: ", HeaderValue(address), "\r\n"});
  if (!Mentions(headers, "Accept-Language: ")) headers += "Accept-Language: zh-cn\r\n";

  const Text upperMethod = AsciiUpper(method);
  if (method.empty() || upperMethod == "GET") {
    t.send(request, headers, "");
  } else if (upperMethod == "POST") {
    if (!body.empty()) {
      if (!Mentions(headers, "Content-Type: ")) {
        headers += "Content-Type: application/x-www-form-urlencoded\r\n";
      }
      headers += Join({"Content-Length: ", IntToDecimal(ByteLength(body)), "\r\n"});
    }
    t.send(request, headers, body);
  } else {
    Release(t, request, connection, root);
    return FetchFailureBytes();
  }

  // The buffer is made once and reused for every read. The accumulator grows
  // as usual up to kSmallBody; a body that goes past it gets room for the
  // largest body at once, so that it is moved into fresh memory only that
  // one time, however large it grows. Only the pages written are touched.
  Bytes buffer = Zeros(kReadBufferSize);
  MemoryStream accumulator;
  for (;;) {
    RunPendingEvents();
    int count = 0;
    t.read(request, buffer.data(), kReadBufferSize, count);
    if (count <= 0) break;
    if (static_cast<std::size_t>(accumulator.Size()) + static_cast<std::size_t>(count) >
        kSmallBody) {
      accumulator.Reserve(kBodyLimit);
    }
    const int room = kBodyLimit - accumulator.Size();
    if (count > room) {
      accumulator.WriteBytes(buffer.data(), room);
      break;
    }
    accumulator.WriteBytes(buffer.data(), count);
  }

  rawHeaders = Spaces(kHeaderBufferSize);
  t.queryInfo(request, kQueryRawHeadersCrlf, rawHeaders, kHeaderBufferSize);

  Release(t, request, connection, root);

  // The capture reads its own copy of the block, so `rawHeaders` keeps the
  // whole block afterwards.
  CaptureCookies(t, rawHeaders, Join({"http://", host}));

  Bytes result = accumulator.TakeBytes();
  // A small body gets an allocation of its own size, so that a caller
  // keeping it does not hold the whole reserve.
  if (result.size() <= kSmallBody) result.shrink_to_fit();
  return result;
}

Text FetchPageText(std::string_view address, std::string_view method, std::string_view proxy,
                   Text& headers, std::string_view body, Text& rawHeaders) {
  Bytes bytes = FetchPageBytes(address, method, proxy, headers, body, rawHeaders);
  Text text = BytesToText(bytes);
  Bytes().swap(bytes);
  return text;
}

Text FetchPageText(std::string_view address) {
  Text headers;
  Text rawHeaders;
  return FetchPageText(address, "", "", headers, "", rawHeaders);
}

}  // namespace dsr
