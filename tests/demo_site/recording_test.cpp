// Request recording of the local site: method, target, path, headers in arrival order with
// their names as sent, body; absolute-form targets from proxy clients; HTTPS with a self-signed
// certificate; many clients at once.
#include <future>
#include <mutex>  // std::chrono (see demo_site.cpp)
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "demo_site/demo_site.h"
#include "tests/demo_site/http_fetch.h"
#include "tests/demo_site/jpeg_probe.h"

namespace lumeno::demo {
namespace {

using testing::Fetch;
using testing::FetchOptions;
using HeaderList = std::vector<std::pair<std::string, std::string>>;

// Header names of a recorded request that are not curl's own, in order.
HeaderList OwnHeaders(const RecordedRequest& request) {
    HeaderList out;
    for (const auto& header : request.headers) {
        if (header.first != "Host" && header.first != "Accept" &&
            header.first != "Content-Length" && header.first != "Content-Type" &&
            header.first != "Proxy-Connection") {
            out.push_back(header);
        }
    }
    return out;
}

class RecordingTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        SiteOptions options;
        options.https = GetParam();
        site = std::make_unique<DemoSite>(options);
        ASSERT_TRUE(site->Start());
    }
    std::unique_ptr<DemoSite> site;
};

TEST_P(RecordingTest, KeepsHeaderOrderAndNamesAsSent) {
    FetchOptions options;
    options.headers = {"Zeta: 1", "alpha: 2", "X-UPPER: 3", "Referer: http://x.test/"};
    const auto result = Fetch(site->BaseUrl() + "/echo?q=1", options);
    ASSERT_EQ(result.code, CURLE_OK);
    const auto requests = site->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/echo?q=1");
    EXPECT_EQ(requests[0].path, "/echo");
    EXPECT_EQ(OwnHeaders(requests[0]),
              (HeaderList{
                  {"Zeta", "1"}, {"alpha", "2"}, {"X-UPPER", "3"}, {"Referer", "http://x.test/"}}));
    EXPECT_EQ(requests[0].headers.front().first, "Host");
    EXPECT_EQ(requests[0].head.rfind("GET /echo?q=1 HTTP/1.1\r\nHost: ", 0), 0u);
    EXPECT_EQ(requests[0].head.substr(requests[0].head.size() - 4), "\r\n\r\n");
}

TEST_P(RecordingTest, RecordsMethodAndBodyOfEveryRequestInOrder) {
    FetchOptions post;
    post.postBody = std::string("a=1&b=\0two", 10);
    post.hasBody = true;
    EXPECT_EQ(Fetch(site->BaseUrl() + "/echo", post).status, 200);
    FetchOptions put = post;
    put.method = "PUT";
    put.postBody = "put body";
    EXPECT_EQ(Fetch(site->BaseUrl() + "/nowhere", put).status, 404);
    EXPECT_EQ(Fetch(site->BaseUrl() + "/").status, 200);

    const auto requests = site->Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, post.postBody);
    EXPECT_EQ(requests[1].method, "PUT");
    EXPECT_EQ(requests[1].body, "put body");
    EXPECT_EQ(requests[2].method, "GET");
    EXPECT_EQ(requests[2].path, "/");
    EXPECT_TRUE(requests[2].body.empty());

    site->ClearRequests();
    EXPECT_TRUE(site->Requests().empty());
}

TEST_P(RecordingTest, ServesPagesAndPicturesWithCertificateChecksOff) {
    EXPECT_EQ(site->BaseUrl().rfind(GetParam() ? "https://127.0.0.1:" : "http://127.0.0.1:", 0),
              0u);
    const auto page = Fetch(site->BaseUrl() + "/fengjing/index_2.html");
    ASSERT_EQ(page.code, CURLE_OK);
    EXPECT_EQ(page.body, site->PictureBytes("/fengjing/index_2.html"));
    const auto picture = Fetch(site->BaseUrl() + site->FullSizePaths("/fengjing/index_2.html")[0]);
    ASSERT_EQ(picture.code, CURLE_OK);
    EXPECT_TRUE(testing::ProbeJpeg(picture.body).valid);
}

TEST_P(RecordingTest, RecordsRequestsTheServerRefusesToRoute) {
    FetchOptions options;
    options.method = "PROPFIND";
    options.headers = {"Depth: 1"};
    const auto result = Fetch(site->BaseUrl() + "/fengjing/", options);
    ASSERT_EQ(result.code, CURLE_OK);
    EXPECT_GE(result.status, 400);
    const auto requests = site->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "PROPFIND");
    EXPECT_EQ(requests[0].path, "/fengjing/");
    EXPECT_EQ(OwnHeaders(requests[0]), (HeaderList{{"Depth", "1"}}));
}

TEST_P(RecordingTest, ClientsThatLeaveMidAnswerDoNotHurtTheSite) {
    FetchOptions impatient;
    impatient.timeoutMs = 200;
    for (int i = 0; i < 3; ++i) {
        const auto left =
            Fetch(site->BaseUrl() + "/fault/stall-body?bytes=10&total=4000000&ms=400", impatient);
        EXPECT_EQ(left.code, CURLE_OPERATION_TIMEDOUT);
    }
    // The site writes the rest into closed connections meanwhile; it must live on.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const auto after = Fetch(site->BaseUrl() + "/redirect?n=0");
    EXPECT_EQ(after.status, 200);
    EXPECT_EQ(after.body, "redirect done");
}

INSTANTIATE_TEST_SUITE_P(PlainAndTls, RecordingTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Https" : "Http"; });

TEST(ProxyRecordingTest, AbsoluteFormTargetIsRecordedAndAnsweredByItsPath) {
    DemoSite site;
    ASSERT_TRUE(site.Start());
    FetchOptions options;
    options.proxy = site.BaseUrl();
    const std::string url = "http://wallpapers.example:8808/fengjing/index.html?x=1";
    const auto result = Fetch(url, options);
    ASSERT_EQ(result.code, CURLE_OK);
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.body, site.PictureBytes("/fengjing/index.html"));
    const auto requests = site.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, url);
    EXPECT_EQ(requests[0].path, "/fengjing/index.html");
    EXPECT_EQ(requests[0].headers.front(),
              (std::pair<std::string, std::string>{"Host", "wallpapers.example:8808"}));

    // A host without a path asks for the root.
    const auto root = Fetch("http://wallpapers.example", options);
    EXPECT_EQ(root.status, 200);
    EXPECT_EQ(site.Requests().back().path, "/");
}

TEST(ConcurrentClientsTest, ManyClientsGetTheSamePictureBytes) {
    DemoSite site;
    ASSERT_TRUE(site.Start());
    const auto paths = site.FullSizePaths("/youxi/index.html");
    std::vector<std::future<testing::FetchResult>> clients;
    for (int i = 0; i < 12; ++i) {
        clients.push_back(std::async(std::launch::async, [&, i] {
            return Fetch(site.BaseUrl() + paths[static_cast<size_t>(i) % paths.size()]);
        }));
    }
    for (int i = 0; i < 12; ++i) {
        const auto result = clients[static_cast<size_t>(i)].get();
        EXPECT_EQ(result.code, CURLE_OK);
        EXPECT_EQ(result.body, site.PictureBytes(paths[static_cast<size_t>(i) % paths.size()]));
    }
    EXPECT_EQ(site.Requests().size(), 12u);
}

}  // namespace
}  // namespace lumeno::demo
