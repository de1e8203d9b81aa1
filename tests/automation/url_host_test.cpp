#include "automation/url_host.h"

#include <gtest/gtest.h>

namespace {

struct HostCase {
    const char* url;
    std::optional<std::string> host;
};

class UrlHostTest : public ::testing::TestWithParam<HostCase> {};

TEST_P(UrlHostTest, ReadsTheHostInLowerCase) {
    EXPECT_EQ(UrlHost(GetParam().url), GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlHostTest,
    ::testing::Values(HostCase{"http://srv/crm2.5", "srv"},
                      HostCase{"https://Srv.Example.COM:8443/x", "srv.example.com"},
                      HostCase{"http://srv", "srv"}, HostCase{"http://srv:/", "srv"},
                      HostCase{"http://srv?q=http://other/", "srv"},
                      HostCase{"http://srv#frag", "srv"}, HostCase{"http://srv\\login", "srv"},
                      HostCase{"http://user:pw@srv:80/", "srv"}, HostCase{"http://a@b@srv/", "srv"},
                      HostCase{"http://[::1]:8080/login", "[::1]"},
                      HostCase{"http://[FE80::1]/", "[fe80::1]"},
                      HostCase{"http://192.168.0.10/crm2.5", "192.168.0.10"},
                      HostCase{"http://\xBD\xF8"
                               "ABC/",
                               "\xBD\xF8"
                               "ABC"},  // a GBK host is not folded
                      HostCase{"srv/crm2.5", std::nullopt}, HostCase{"about:blank", std::nullopt},
                      HostCase{"file:///C:/login.htm", std::nullopt},
                      HostCase{"://srv/", std::nullopt}, HostCase{"1http://srv/", std::nullopt},
                      HostCase{"http://srv:80x/", std::nullopt},
                      HostCase{"http://[::1/", std::nullopt}, HostCase{"http://[]/", std::nullopt},
                      HostCase{"", std::nullopt}));

TEST(SameHost, ComparesHostsOnly) {
    EXPECT_TRUE(SameHost("https://SRV:8443/a", "http://srv/crm2.5"));
    EXPECT_FALSE(SameHost("http://srv.example/", "http://srv/"));
    EXPECT_FALSE(SameHost("about:blank", "about:blank")) << "no host is no match";
}

}  // namespace
