// The smallest libcurl program that collects a body: one curl_easy_perform
// with a write callback appending to a std::string. fetch_bench.sh times the
// page fetch against it.
//
//   fetch_baseline ADDRESS
#include <curl/curl.h>

#include <cstdio>
#include <string>

namespace {

std::size_t Append(char* data, std::size_t size, std::size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: fetch_baseline ADDRESS\n", stderr);
    return 2;
  }
  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURL* easy = curl_easy_init();
  std::string body;
  curl_easy_setopt(easy, CURLOPT_URL, argv[1]);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Append);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  const CURLcode result = curl_easy_perform(easy);
  curl_easy_cleanup(easy);
  curl_global_cleanup();
  std::printf("bytes %zu\n", body.size());
  return result == CURLE_OK && !body.empty() ? 0 : 1;
}
