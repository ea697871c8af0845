// The WinInet transport when wininet.dll or one of its functions cannot be
// found: every open fails, so the fetch gives its failure result.
#include "web/wininet_transport.h"

#include <gtest/gtest.h>

#include "web/fetch.h"

namespace dsr {
namespace {

TEST(WinInetTransport, MissingLibraryOrFunctionFailsEveryFetch) {
  // No such library; a library without InternetOpenA and the others.
  for (const char* library : {"dsrscope-no-such-library.dll", "kernel32.dll"}) {
    SCOPED_TRACE(library);
    UseTransport(WinInetTransportFrom(library));
    EXPECT_EQ(CurrentTransport().open("agent", kOpenTypeDirect, ""), InternetHandle{0});
    Text headers, rawHeaders;
    EXPECT_EQ(FetchPageBytes("http://127.0.0.1:9/x", "", "", headers, "", rawHeaders),
              FetchFailureBytes());
  }
  UseTransport(WinInetTransport());
  const InternetHandle root = CurrentTransport().open("agent", kOpenTypeDirect, "");
  EXPECT_NE(root, InternetHandle{0});
  EXPECT_TRUE(CurrentTransport().closeHandle(root));
}

}  // namespace
}  // namespace dsr
