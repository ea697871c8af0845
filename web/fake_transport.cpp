// The scripted transport: recording and scripted answers.
#include "web/fake_transport.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace dsr {
namespace {

std::string Number(std::uint64_t n) { return std::to_string(n); }

}  // namespace

void FakeTransport::Note(std::string operation, std::vector<std::string> arguments) {
  calls.push_back({std::move(operation), std::move(arguments)});
}

std::vector<std::string> FakeTransport::Operations() const {
  std::vector<std::string> names;
  for (const FakeCall& c : calls) names.push_back(c.operation);
  return names;
}

std::vector<FakeCall> FakeTransport::CallsOf(std::string_view operation) const {
  std::vector<FakeCall> found;
  for (const FakeCall& c : calls) {
    if (c.operation == operation) found.push_back(c);
  }
  return found;
}

HttpTransport FakeTransport::Transport() {
  HttpTransport t;
  t.open = [this](std::string_view agent, int accessType, std::string_view proxy) {
    Note("open", {std::string(agent), Number(accessType), std::string(proxy)});
    if (failOpen) return InternetHandle{0};
    const InternetHandle h = nextHandle++;
    openHandles[h] = "root";
    return h;
  };
  t.connect = [this](InternetHandle root, std::string_view host, int port, std::string_view user,
                     std::string_view password, int service) {
    Note("connect", {Number(root), std::string(host), std::to_string(port), std::string(user),
                     std::string(password), std::to_string(service)});
    if (failConnect) return InternetHandle{0};
    const InternetHandle h = nextHandle++;
    openHandles[h] = "connection";
    connections[h].host = std::string(host);
    connections[h].port = port;
    return h;
  };
  t.openRequest = [this](InternetHandle connection, std::string_view method,
                         std::string_view objectPath, std::string_view version,
                         std::uint32_t flags) {
    Note("openRequest", {Number(connection), std::string(method), std::string(objectPath),
                         std::string(version), Number(flags)});
    if (failOpenRequest) return InternetHandle{0};
    const InternetHandle h = nextHandle++;
    openHandles[h] = "request";
    RequestState& state = requests[h];
    if (auto c = connections.find(connection); c != connections.end()) state.request = c->second;
    state.request.method = std::string(method);
    state.request.objectPath = std::string(objectPath);
    // With `answer` the response comes at the send, once the whole request
    // is known.
    if (!answer && !responses.empty()) {
      state.response = std::move(responses.front());
      responses.pop_front();
    } else {
      state.response = FakeResponse{};
    }
    return h;
  };
  t.send = [this](InternetHandle request, std::string_view headers, std::string_view body) {
    Note("send", {Number(request), std::string(headers), std::string(body)});
    auto it = requests.find(request);
    if (it == requests.end()) return false;
    if (answer) {
      it->second.request.headers = std::string(headers);
      it->second.request.body = std::string(body);
      it->second.response = answer(it->second.request);
    }
    if (it->second.response.failSend) return false;
    it->second.sent = true;
    return true;
  };
  t.read = [this](InternetHandle request, char* buffer, int capacity, int& count) {
    Note("read", {Number(request), std::to_string(capacity)});
    if (onRead) onRead(request);
    count = 0;
    auto it = requests.find(request);
    if (it == requests.end() || !it->second.sent) return false;
    RequestState& s = it->second;
    const auto& chunks = s.response.bodyChunks;
    if (s.response.failReadAfterChunks >= 0 &&
        s.chunk >= static_cast<std::size_t>(s.response.failReadAfterChunks)) {
      return false;
    }
    if (s.chunk >= chunks.size()) return true;
    const std::string& piece = chunks[s.chunk];
    const std::size_t n = std::min(piece.size() - s.offset, static_cast<std::size_t>(capacity));
    std::memcpy(buffer, piece.data() + s.offset, n);
    count = static_cast<int>(n);
    s.offset += n;
    if (s.offset >= piece.size()) {
      ++s.chunk;
      s.offset = 0;
    }
    return true;
  };
  t.queryInfo = [this](InternetHandle request, int infoLevel, Text& buffer, int capacity) {
    Note("queryInfo", {Number(request), std::to_string(infoLevel), std::to_string(capacity)});
    auto it = requests.find(request);
    if (it == requests.end() || !it->second.sent || infoLevel != kQueryRawHeadersCrlf) {
      return false;
    }
    const std::string& block = it->second.response.rawHeaders;
    if (static_cast<int>(block.size()) + 1 > capacity) return false;
    buffer = block;
    return true;
  };
  t.closeHandle = [this](InternetHandle handle) {
    Note("closeHandle", {Number(handle)});
    if (openHandles.erase(handle) == 0) {
      ++badCloses;
      return false;
    }
    requests.erase(handle);
    connections.erase(handle);
    return true;
  };
  t.setCookie = [this](std::string_view url, std::string_view name, std::string_view value) {
    Note("setCookie", {std::string(url), std::string(name), std::string(value)});
    cookies.push_back({std::string(url), std::string(name), std::string(value)});
    return true;
  };
  return t;
}

}  // namespace dsr
