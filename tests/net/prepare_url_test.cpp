#include <gtest/gtest.h>

#include "net/http_form.h"

using namespace quill;
using namespace quill::net;

namespace {

TEST(PrepareUrlTest, CapitalSchemePassesThePrefixTestButIsInvalid) {
    CHttpForm form("review.local", 8080);
    EXPECT_FALSE(form.PrepareUrl("HTTP://other.local/Comm/x.do"));
    EXPECT_EQ(form.ErrorCode(), -1);
    EXPECT_EQ(form.ErrorText(), "ERROR: Invalid URL(HTTP://other.local:8080/Comm/x.do)");
    // And no request goes out: the call answers 0 at once.
    EXPECT_EQ(form.Get("Https://other.local/x"), 0);
    EXPECT_EQ(form.ErrorText(), "ERROR: Invalid URL(Https://other.local:8080/x)");
}

TEST(PrepareUrlTest, AbsoluteUrlsSplitIntoSchemeHostPortAndPath) {
    CHttpForm form("review.local", 8080);
    ASSERT_TRUE(form.PrepareUrl("http://other.local/Comm/x.do?a=1"));
    EXPECT_EQ(form.Host(), "other.local");
    EXPECT_EQ(form.Port(), 8080);  // no port in the URL: the form's stays
    EXPECT_EQ(form.Path(), "/Comm/x.do?a=1");
    EXPECT_FALSE(form.Secure());

    ASSERT_TRUE(form.PrepareUrl("https://secure.local:8443/p"));
    EXPECT_EQ(form.Host(), "secure.local");
    EXPECT_EQ(form.Port(), 8443);
    EXPECT_TRUE(form.Secure());

    ASSERT_TRUE(form.PrepareUrl("http://bare.local"));
    EXPECT_EQ(form.Host(), "bare.local");
    EXPECT_EQ(form.Path(), "/");

    // A path alone keeps the server of the last URL.
    ASSERT_TRUE(form.PrepareUrl("Comm/download.do?file=1.pdf"));
    EXPECT_EQ(form.Host(), "bare.local");
    EXPECT_EQ(form.Path(), "/Comm/download.do?file=1.pdf");
}

TEST(PrepareUrlTest, BareColonGivesTheSchemesDefaultPort) {
    CHttpForm plain("review.local", 0);
    ASSERT_TRUE(plain.PrepareUrl("http://other.local:/x"));
    EXPECT_EQ(plain.Host(), "other.local");
    EXPECT_EQ(plain.Port(), 80);
    CHttpForm secure("review.local", 0);
    ASSERT_TRUE(secure.PrepareUrl("https://other.local:/x"));
    EXPECT_EQ(secure.Port(), 443);
}

TEST(PrepareUrlTest, ConstructorTakesHostPortOrAbsoluteUrl) {
    CHttpForm withPort("review.local:8081", 0);
    EXPECT_EQ(withPort.Host(), "review.local");
    EXPECT_EQ(withPort.Port(), 8081);
    CHttpForm defaultPort("review.local", 0);
    EXPECT_EQ(defaultPort.Port(), 80);
    CHttpForm fromUrl("https://review.local/base", 0);
    EXPECT_EQ(fromUrl.Scheme(), "https");
    EXPECT_EQ(fromUrl.Host(), "review.local");
    EXPECT_EQ(fromUrl.Port(), 443);
    CHttpForm empty("", 0);
    EXPECT_FALSE(empty.PrepareUrl("/x"));
    EXPECT_EQ(empty.ErrorText(), "ERROR: Invalid URL(http://:80/x)");
}

TEST(PrepareUrlTest, RefusesHostsThatCannotBeAddressed) {
    CHttpForm form("review.local", 80);
    EXPECT_FALSE(form.PrepareUrl("http:///x"));
    EXPECT_FALSE(form.PrepareUrl("http://host:70000/x"));
    EXPECT_EQ(form.ErrorCode(), -1);
    // A bracketed IPv6 address keeps its colons.
    ASSERT_TRUE(form.PrepareUrl("http://[::1]:81/x"));
    EXPECT_EQ(form.Host(), "[::1]");
    EXPECT_EQ(form.Port(), 81);
}

}  // namespace
