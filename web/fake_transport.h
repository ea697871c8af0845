// A scripted HTTP transport for unit tests: records every call with its
// arguments in order and answers from a script of responses, or from a
// routine that looks at each request as it is sent.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "web/transport.h"

namespace dsr {

// One recorded call: the operation's name ("open", "connect", "openRequest",
// "send", "read", "queryInfo", "closeHandle", "setCookie", or a test's own
// note) and its arguments as texts, handles and numbers in decimal.
struct FakeCall {
  std::string operation;
  std::vector<std::string> arguments;
};

// What one request answers. Each `openRequest` takes the next scripted
// response, or an empty one when none is left.
struct FakeResponse {
  // Body pieces, handed out in order; a piece longer than the reader's
  // capacity is handed out over several reads. Zero bytes allowed.
  std::vector<std::string> bodyChunks;
  // After this many pieces the next read fails (count 0, false); -1: never.
  int failReadAfterChunks = -1;
  // The raw header block the header query copies, when it fits.
  std::string rawHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
  // The send fails: reads give 0 and the header query leaves the buffer.
  bool failSend = false;
};

// One request as the transport was asked to send it.
struct FakeRequest {
  std::string host;  // as given to `connect`
  int port = 0;
  std::string method;      // as given to `openRequest` (empty: GET)
  std::string objectPath;  // as given to `openRequest`
  std::string headers;     // as given to `send`
  std::string body;
};

struct FakeCookie {
  std::string url;
  std::string name;
  std::string value;
};

struct FakeTransport {
  // Failing operations: the handle returned is 0.
  bool failOpen = false;
  bool failConnect = false;
  bool failOpenRequest = false;
  std::deque<FakeResponse> responses;
  // When set, each `send` answers its request with what this returns, and
  // `responses` is left alone.
  std::function<FakeResponse(const FakeRequest& request)> answer;
  // Runs at the start of every read, with the request handle.
  std::function<void(InternetHandle request)> onRead;

  std::vector<FakeCall> calls;
  std::vector<FakeCookie> cookies;
  // Handles given out and not yet closed; a close of anything else is
  // recorded in `badCloses`.
  std::map<InternetHandle, std::string> openHandles;
  int badCloses = 0;

  // Operations working on this record; it must outlive the binding.
  HttpTransport Transport();
  // Records a call of the test's own (a window event, say) among the others.
  void Note(std::string operation, std::vector<std::string> arguments = {});
  // The operation names of `calls`, in order.
  std::vector<std::string> Operations() const;
  // The calls of one operation, in order.
  std::vector<FakeCall> CallsOf(std::string_view operation) const;

  // Per request: what it asks for, its response and how far it has been read.
  struct RequestState {
    FakeRequest request;
    FakeResponse response;
    std::size_t chunk = 0;
    std::size_t offset = 0;
    bool sent = false;
  };
  std::map<InternetHandle, RequestState> requests;
  // Per connection: the host and port it was made for.
  std::map<InternetHandle, FakeRequest> connections;
  InternetHandle nextHandle = 1;
};

}  // namespace dsr
