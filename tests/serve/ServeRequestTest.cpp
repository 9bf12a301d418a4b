// The request handler without a socket: routes, the keys and their value
// rules, strict percent-decoding, errors and entity tags.
#include <gtest/gtest.h>

#include <string>

#include "serve/RequestHandler.h"

namespace barwright::serve {
namespace {

struct Answer {
    unsigned status;
    std::string contentType;
    std::string body;
    std::string entityTag;
    const char* allow;
};

Answer ask(const std::string& method, const std::string& target, const std::string* body = nullptr,
           const std::string& ifNoneMatch = "") {
    static const WebPage page;
    const RequestHandler handler(page, bindingDefaults());
    SymbolScratch scratch;
    Reply reply;
    handler.handle(HttpRequest{method, target, body, ifNoneMatch}, scratch, reply);
    return Answer{reply.status, reply.contentType, std::string(reply.body), reply.entityTag,
                  reply.allow};
}

struct Case {
    const char* name;
    const char* method;
    const char* target;
    const char* body;  // null: none
    unsigned status;
    const char* bodyPart;  // found in the reply's body
};

const Case kCases[] = {
    {"Symbol", "GET", "/pdf417.txt?data=Hello&col=2", nullptr, 200, "11111111010101000"},
    {"PostedData", "POST", "/pdf417.txt?col=2", "Hello", 200, "11111111010101000"},
    {"Health", "GET", "/health", nullptr, 200, "ok\n"},
    {"BuiltInPage", "GET", "/", nullptr, 200, "pdf417.png1?data="},
    {"AbsoluteForm", "GET", "http://example.com/health", nullptr, 200, "ok\n"},
    {"UnknownKey", "GET", "/pdf417.png?data=1&colr=3", nullptr, 400,
     "status 1: Error: Invalid argument.\nunknown option \"colr\"\n"},
    {"HelpIsNoKey", "GET", "/pdf417.png?data=1&help=1", nullptr, 400, "unknown option \"help\""},
    {"NotAWholeValue", "GET", "/pdf417.png?data=1&col=3x", nullptr, 400,
     "col takes 1..30 data columns, or 0 for automatic, not \"3x\""},
    {"EmptyValue", "GET", "/pdf417.png?data=1&xdim=", nullptr, 400, "xdim takes"},
    {"ColourTooLong", "GET", "/pdf417.png?data=1&fcolor=1234567", nullptr, 400,
     "fcolor takes a colour as rrggbb, not \"1234567\""},
    {"Utf8Value", "GET", "/pdf417.png?data=1&col=%C3%A9%0A", nullptr, 400,
     "not \"\\xc3\\xa9\\x0a\""},
    {"Utf8Key", "GET", "/pdf417.png?data=1&%C3%A9=1", nullptr, 400,
     "unknown option \"\\xc3\\xa9\""},
    {"EciOutOfRange", "GET", "/pdf417.png?data=1&eci=811800", nullptr, 400, "eci takes"},
    {"NoMacro", "GET", "/pdf417.png?data=1234&macro=2", nullptr, 400, "a reply is one symbol"},
    {"NoFileId", "GET", "/pdf417.png?data=1&file-id=1", nullptr, 400, "a reply is one symbol"},
    {"Pdf", "GET", "/pdf417.pdf?data=1&time=0", nullptr, 200, "%PDF-"},
    {"KeyTwice", "GET", "/pdf417.png?data=1&col=3&col=4", nullptr, 400, "\"col\" is given twice"},
    {"BadEscape", "GET", "/pdf417.png?data=%zz", nullptr, 400, "two hexadecimal digits"},
    {"EscapeCutShort", "GET", "/pdf417.png?data=a%4", nullptr, 400, "two hexadecimal digits"},
    {"PercentAtEnd", "GET", "/pdf417.png?data=a%", nullptr, 400, "two hexadecimal digits"},
    {"BadEscapeInKey", "GET", "/pdf417.png?d%ata=1", nullptr, 400, "two hexadecimal digits"},
    {"NoData", "GET", "/pdf417.png?col=3", nullptr, 400, "no data"},
    {"DataTwice", "POST", "/pdf417.png?data=1", "2", 400, "not both"},
    {"ShortestIsOneOrZero", "GET", "/pdf417.png?data=1&shortest=yes", nullptr, 400,
     "shortest takes 1 or 0"},
    {"EscapesIsOneOrZero", "GET", "/pdf417.png?data=1&escapes=2", nullptr, 400,
     "escapes takes 1 or 0"},
    {"DpiZero", "GET", "/pdf417.svg?data=1&dpi=0", nullptr, 400, "dpi takes a whole number"},
    {"DpiTooLarge", "GET", "/pdf417.svg?data=1&dpi=1000001", nullptr, 400, "dpi takes"},
    {"DpiForText", "GET", "/pdf417.txt?data=1&dpi=300", nullptr, 400, "no meaning for the txt"},
    {"RawSpace", "GET", "/pdf417.png?data=a b", nullptr, 400, "must be percent-escaped"},
    {"RawUtf8", "GET", "/pdf417.png?data=\xc3\xa9", nullptr, 400, "must be percent-escaped"},
    {"RawControl", "GET", "/pdf417.png?data=a\tb", nullptr, 400, "must be percent-escaped"},
    {"EncoderStatus", "GET", "/pdf417.png?data=1&col=31", nullptr, 400,
     "status 8: Error: Columns number should be from 1 to 30 (or 0-auto).\n"},
    {"TooManyPixels", "GET", "/pdf417.png?data=1&xdim=1000", nullptr, 400,
     "status 28: Error: Cant initialize PNG creator\nthe picture would be"},
    {"BarsLikeBackground", "GET", "/pdf417.png?data=1&fcolor=ffffff", nullptr, 400,
     "status 1: Error: Invalid argument.\nbars ffffff on ffffff differ in luma by 0 %"},
    {"TooMuchForTheShape", "GET", "/pdf417.txt?data=1234567890123456789012345&col=1&row=3", nullptr,
     400,
     "status 12: Error: The data cannot be encoded in these column and row "
     "numbers.\n"},
    {"ModuleOfNoPixels", "GET", "/pdf417.svg?data=1&xdim=0.4", nullptr, 400, "xdim is under"},
    {"UnknownFormat", "GET", "/pdf417.gif?data=1", nullptr, 404, "not found"},
    {"EncodedPath", "GET", "/pdf417%2Epng?data=1", nullptr, 404, "not found"},
    {"Traversal", "GET", "/../../etc/passwd", nullptr, 404, "not found"},
    {"DeleteSymbol", "DELETE", "/pdf417.png?data=1", nullptr, 405, "method not allowed"},
    {"PostHealth", "POST", "/health", "x", 405, "method not allowed"},
    {"Options", "OPTIONS", "/pdf417.png", nullptr, 204, ""},
};

TEST(ServeRequest, AnswersEachCase) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string body = c.body != nullptr ? c.body : "";
        const Answer answer = ask(c.method, c.target, c.body != nullptr ? &body : nullptr);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_NE(answer.body.find(c.bodyPart), std::string::npos) << answer.body;
        // Refusals are short texts that show the request's bytes escaped.
        if (c.status >= 400) {
            EXPECT_EQ(answer.contentType, "text/plain; charset=utf-8");
            EXPECT_TRUE(answer.entityTag.empty());
            EXPECT_EQ(answer.body.find_first_of("\t\x80\xc3"), std::string::npos);
        }
    }
}

// Different spellings of one request give the same symbol.
TEST(ServeRequest, SpellingsOfTheSameData) {
    const std::string posted = "a b~X41";
    const std::string expected = ask("GET", "/pdf417.txt?data=a%20b~X41").body;
    EXPECT_EQ(ask("GET", "/pdf417.txt?data=a+b~X41").body, expected);
    EXPECT_EQ(ask("GET", "/pdf417.txt?data=a+b%7eX41&").body, expected);
    EXPECT_EQ(ask("POST", "/pdf417.txt", &posted).body, expected);
    // Escapes are off unless asked for: with them, ~X41 is an A.
    EXPECT_NE(ask("GET", "/pdf417.txt?data=a+bA").body, expected);
    EXPECT_EQ(ask("GET", "/pdf417.txt?escapes=1&data=a+b~X41").body,
              ask("GET", "/pdf417.txt?data=a+bA").body);
    // The fewest codewords take the place of the mode, as in barwright-batch.
    EXPECT_EQ(ask("GET", "/pdf417.txt?data=1234567890&shortest=1&mode=1").status, 200u);
}

TEST(ServeRequest, EntityTags) {
    const Answer first = ask("GET", "/pdf417.png?data=1&col=4");
    ASSERT_EQ(first.status, 200u);
    EXPECT_EQ(first.entityTag.size(), 34u);
    EXPECT_EQ(ask("GET", "/pdf417.png?data=1&col=4").entityTag, first.entityTag);
    EXPECT_NE(ask("GET", "/pdf417.png?data=2&col=4").entityTag, first.entityTag);
    EXPECT_NE(ask("GET", "/pdf417.svg?data=1&col=4").entityTag, first.entityTag);
    const std::string weak = "W/" + first.entityTag;
    for (const std::string& header :
         {first.entityTag, "\"x\", " + first.entityTag, weak, std::string("*")}) {
        SCOPED_TRACE(header);
        const Answer again = ask("GET", "/pdf417.png?data=1&col=4", nullptr, header);
        EXPECT_EQ(again.status, 304u);
        EXPECT_TRUE(again.body.empty());
        EXPECT_EQ(again.entityTag, first.entityTag);
    }
    EXPECT_EQ(ask("GET", "/pdf417.png?data=1&col=4", nullptr, "\"other\"").status, 200u);
}

}  // namespace
}  // namespace barwright::serve
