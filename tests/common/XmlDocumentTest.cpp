#include "common/XmlDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

template <typename Record>
std::string renderRecords(const XmlList<Record>& records, char mark)
{
    std::string out;
    for (const auto& record : records)
        out += std::string(" ") + mark + std::to_string(record->position()) + "\"" + record->text() + "\"";
    return out;
}

// name[attribute=value]... #position"content"... !position"comment"... ^position"cdata"... {children}
std::string render(const XmlElement& element)
{
    std::string out = element.name();
    for (const auto& attribute : element.attributes())
        out += std::string("[") + attribute->name() + "=" + attribute->value() + "]";
    out += renderRecords(element.contents(), '#');
    out += renderRecords(element.comments(), '!');
    out += renderRecords(element.cdataSections(), '^');
    if (element.children().count() > 0) {
        out += " {";
        for (const auto& child : element.children())
            out += (out.back() == '{' ? "" : " ") + render(*child);
        out += "}";
    }
    return out;
}

std::string renderRoot(const XmlDocument& document)
{
    return document.root() ? render(*document.root()) : "(none)";
}

std::string decode(const char* text)
{
    std::string buffer(decodeXmlEntities(text, nullptr) + 1, '\0');
    buffer.resize(decodeXmlEntities(text, &buffer[0]));
    return buffer;
}

std::string encode(const char* text)
{
    std::string buffer(encodeXmlEntities(text, nullptr) + 1, '\0');
    buffer.resize(encodeXmlEntities(text, &buffer[0]));
    return buffer;
}

const std::string signedDefault = std::string(XmlDocument::utf8Signature) + XmlDocument::defaultDeclaration;

} // namespace

struct LoadCase {
    const char* name;
    const char* xml;
    int status;
    const char* tree;
    const char* declarationComments;
};

class XmlLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(XmlLoadTest, BuildsTheExpectedTree)
{
    const LoadCase& c = GetParam();
    XmlDocument document(c.xml, XmlDocument::sourceText);
    EXPECT_EQ(c.status, document.status());
    EXPECT_EQ(c.tree, renderRoot(document));
    EXPECT_EQ(c.declarationComments, renderRecords(document.declaration().comments(), '!'));
}

const LoadCase loadCases[] = {
    {"Empty", "", 0, "root", ""},
    {"SelfClosingWithoutDeclaration", "<a/>", 1, "a", ""},
    {"OnlyDeclaration", "<?xml version=\"1.0\"?>", 1, "root", ""},
    {"NoTagAfterDeclaration", "<?xml?>just text", 1, "root", ""},
    {"Configuration", R"(<?xml version="1.0"?><cfg><Mode value="3"/><Url>http://x</Url></cfg>)", 0,
     R"(cfg {Mode[value=3] Url #0"http://x"})", ""},
    {"DeclarationEndsAtFirstQuestionGreaterInBody", "<r>a?><b/></r>", 0, "b", ""},
    {"DeclarationEndInsideAttributeValue", R"(<r a="?>"/>)", 1, "root", ""},
    {"ContentPositionsCountPrecedingChildren", "<?x?><r> A <b/> B <c></c>C</r>", 0,
     R"(r #0"A" #1"B" #2"C" {b c})", ""},
    {"WhiteSpaceRunsAddNoContent", "<?x?><r>  \r\n\t <b/>\n </r>", 0, "r {b}", ""},
    {"ContentKeepsEntityReferences", "<?x?><r>a &amp; b</r>", 0, R"(r #0"a &amp; b")", ""},
    {"BlanksAroundEquals", R"(<?x?><a x = "1" y="2"/>)", 0, "a[x=1][y=2]", ""},
    {"ValueKeptAsWritten", R"(<?x?><a v="&lt;b&gt; &#65;"/>)", 0, "a[v=&lt;b&gt; &#65;]", ""},
    {"SingleQuotesEndAttributeList", R"(<?x?><a b="1" c='2' d='3'/>)", 0, "a[b=1]", ""},
    {"SingleQuotedValueRunsToNextDoubleQuote", R"(<?x?><a c='2' d="3"/>)", 0, "a[c=3]", ""},
    {"GreaterInsideValueEndsStartTag", R"(<?x?><r><a x="1>2">t</a></r>)", 0, R"(r {a #0"2">t"})", ""},
    {"SlashInsideQuotesIsNotSelfClosing", R"(<?x?><r><a t="x/y"></a></r>)", 0, "r {a[t=x/y]}", ""},
    {"LineBreakAfterNameBelongsToName", "<?x?><r><a\n x=\"1\"/></r>", 0, "r {a\n[x=1]}", ""},
    {"EveryLessThanInNameSkipped", "<?x?><a<b></a>", 0, "ab", ""},
    {"NameStoredEncoded", "<?x?><r><a&amp;b/><c'd/></r>", 0, "r {a&amp;amp;b c&apos;d}", ""},
    {"LastClosedTopLevelElementIsRoot", "<?x?><a></a><b></b>", 0, "b", ""},
    {"ClosedElementAfterSelfClosingIsRoot", "<?x?><x/><y></y>", 0, "y", ""},
    {"FirstOfSelfClosingTopLevelElementsIsRoot", "<?x?><x/><z/>", 0, "x", ""},
    {"SelfClosingAfterClosedKeepsClosed", "<?x?><a></a><z/>", 0, "a", ""},
    {"TextOutsideRootDropped", "hello<r/>bye", 1, "r", ""},
    {"DeclarationCommentsBeforeAndAfterRoot", "<?x?><!--before--><r/><!--after-->", 0, "r",
     R"( !0"before" !1"after")"},
    {"ProcessingInstructionTextAfterFourCharacters", "<?x?><?pi data?><r/>", 0, "r", R"( !0" dat")"},
    {"ElementCommentPositions", "<?x?><r><!--c0--><a/><!--c1--></r>", 0, R"(r !0"c0" !1"c1" {a})", ""},
    {"TagsInsideCommentIgnored", "<?x?><r><!-- <a> --></r>", 0, R"(r !0" <a> ")", ""},
    {"ShortProcessingInstructionGivesEmptyText", "<?x?><r><?x?></r>", 0, R"(r !0"")", ""},
    {"CData", "<?x?><r><a/><![CDATA[x<y>]]></r>", 0, R"(r ^1"x<y>" {a})", ""},
    {"EndTagInsideCDataDoesNotEndElement", "<?x?><r><![CDATA[</r>]]></r>", 0, R"(r ^0"</r>")", ""},
    {"TopLevelCDataDropped", "<?x?><![CDATA[x]]><r/>", 0, "r", ""},
    {"RootEndNotFound", "<?x?><r><a></r>", 2, "(none)", ""},
    {"QuoteInCommentHidesItsEnd", "<?x?><r><!-- \" --></r>", 2, "(none)", ""},
    {"EarlierSelfClosingSurvivesRootEndNotFound", "<?x?><x/><r>", 2, "x", ""},
    {"UnterminatedTagStopsWalk", "<?x?><r/><b", 0, "r", ""},
    {"UnterminatedCommentStopsWalk", "<r/><!-- x", 1, "r", ""},
    {"StrayEndTagAtTopLevel", "<?x?></x><r></r>", 0, "r", ""},
    {"SlashOutsideQuotesEndsElementInItsStartTag", "<?x?><r><a href=x/y>t</a></r>", 0, R"(r #0"t")", ""},
};

INSTANTIATE_TEST_SUITE_P(Texts, XmlLoadTest, testing::ValuesIn(loadCases),
                         [](const testing::TestParamInfo<LoadCase>& info) { return info.param.name; });

TEST(XmlDeclarationTest, EmptyTextGetsDefaultWithoutSignature)
{
    XmlDocument document("", XmlDocument::sourceText);
    EXPECT_STREQ(XmlDocument::defaultDeclaration, document.declaration().text());
}

TEST(XmlDeclarationTest, MissingDeclarationGetsSignedDefault)
{
    XmlDocument document("<a/>", XmlDocument::sourceText);
    EXPECT_EQ(signedDefault, document.declaration().text());
}

TEST(XmlDeclarationTest, SignatureAndBlankLinesBelongToDeclaration)
{
    const char* text = "\xEF\xBB\xBF\n\n<?xml version=\"1.0\"?>\n<r/>";
    XmlDocument document(text, XmlDocument::sourceText);
    EXPECT_EQ(0, document.status());
    EXPECT_STREQ("\xEF\xBB\xBF\n\n<?xml version=\"1.0\"?>", document.declaration().text());
}

TEST(XmlDocumentTest, OtherSourceKindLoadsNothing)
{
    XmlDocument document("<a/>", 0);
    EXPECT_EQ(XmlDocument::partial, document.status());
    EXPECT_EQ(nullptr, document.root());
}

TEST(XmlDocumentTest, ParentLinksFollowTheTree)
{
    XmlDocument document("<?x?><r><a><b/></a><!--c--><d>t</d></r>", XmlDocument::sourceText);
    const XmlElement* root = document.root();
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(nullptr, root->parent());
    const XmlElement* a = root->findChild("a");
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(root, a->parent());
    EXPECT_EQ(a, a->findChild("b")->parent());
    EXPECT_EQ(root, root->comments().at(0)->owner());
    const XmlElement* d = root->findChild("d");
    EXPECT_EQ(d, d->contents().at(0)->owner());
    EXPECT_EQ(nullptr, document.declaration().comments().at(0));
}

TEST(XmlDocumentTest, DeepNestingStopsPartialInsteadOfExhaustingTheStack)
{
    const int levels = XmlDocument::maxDepth + 50;
    std::string text = "<?x?>";
    for (int i = 0; i < levels; ++i)
        text += "<a>";
    for (int i = 0; i < levels; ++i)
        text += "</a>";
    XmlDocument document(text.c_str(), XmlDocument::sourceText);
    EXPECT_EQ(XmlDocument::partial, document.status());
    int depth = 0;
    for (const XmlElement* e = document.root(); e; e = e->children().at(0))
        ++depth;
    EXPECT_EQ(XmlDocument::maxDepth, depth);
}

TEST(XmlDocumentTest, ListsStartWithTheirCapacitiesAndGrowByTheirSteps)
{
    std::string text = "<?x?><r>";
    for (int i = 0; i < XmlElement::childrenCapacity + 1; ++i)
        text += "<c/>";
    text += "</r>";
    XmlDocument document(text.c_str(), XmlDocument::sourceText);
    const XmlElement& root = *document.root();
    EXPECT_EQ(XmlElement::childrenCapacity + 1, root.children().count());
    EXPECT_EQ(XmlElement::childrenCapacity + XmlElement::childrenStep, root.children().capacity());
    EXPECT_EQ(XmlElement::contentsCapacity, root.contents().capacity());
    EXPECT_EQ(XmlDeclaration::commentsCapacity, document.declaration().comments().capacity());
}

// The capacity the list reports climbs by its step, while the records move to new storage
// only a logarithmic number of times: a step-by-step storage would move them 5,000 times
// here, and loading a wide element would take quadratic time.
TEST(XmlListTest, ReportsStepwiseCapacityOverGeometricStorage)
{
    XmlList<int> list(XmlElement::childrenCapacity, XmlElement::childrenStep);
    const int records = 100000;
    int moves = 0;
    const std::unique_ptr<int>* storage = nullptr;
    for (int i = 0; i < records; ++i) {
        list.add(std::make_unique<int>(i));
        if (&*list.begin() != storage)
            ++moves;
        storage = &*list.begin();
        const int steps = (list.count() - XmlElement::childrenCapacity + XmlElement::childrenStep - 1) /
                          XmlElement::childrenStep;
        ASSERT_EQ(XmlElement::childrenCapacity + std::max(0, steps) * XmlElement::childrenStep, list.capacity());
    }
    EXPECT_LT(moves, 40);
    EXPECT_EQ(records - 1, *list.at(records - 1));
}

TEST(XmlDocumentTest, AWideElementReportsItsCapacityByWholeSteps)
{
    std::string text = "<?x?><r>";
    const int children = 30001;
    for (int i = 0; i < children; ++i)
        text += "<c a=\"1\"/>";
    text += "</r>";
    XmlDocument document(text.c_str(), XmlDocument::sourceText);
    ASSERT_EQ(XmlDocument::loaded, document.status());
    EXPECT_EQ(children, document.root()->children().count());
    EXPECT_EQ(30020, document.root()->children().capacity());
    EXPECT_EQ(XmlElement::attributesCapacity, document.root()->children().at(children - 1)->attributes().capacity());
}

class XmlLookupTest : public testing::Test {
protected:
    XmlDocument document{R"(<?x?><cfg><mode v="1"/><Mode v="2"/><Mode v="3"/><a&amp;b/>)"
                         R"(<Outer><Inner/></Outer><Item Name="x" name="y" Name="z"/></cfg>)",
                         XmlDocument::sourceText};
    const XmlElement& root() { return *document.root(); }
};

TEST_F(XmlLookupTest, FindChildIsCaseSensitiveAndTakesTheFirst)
{
    const XmlElement* mode = root().findChild("Mode");
    ASSERT_NE(nullptr, mode);
    EXPECT_STREQ("2", mode->findAttribute("v")->value());
    EXPECT_EQ(nullptr, root().findChild("MODE"));
}

TEST_F(XmlLookupTest, FindChildSearchesDirectChildrenOnly)
{
    EXPECT_EQ(nullptr, root().findChild("Inner"));
    EXPECT_NE(nullptr, root().findChild("Outer")->findChild("Inner"));
}

TEST_F(XmlLookupTest, FindChildComparesTheDecodedName)
{
    EXPECT_NE(nullptr, root().findChild("a&amp;b"));
    EXPECT_EQ(nullptr, root().findChild("a&b"));
}

TEST_F(XmlLookupTest, FindAttributeIsCaseSensitiveAndTakesTheFirst)
{
    const XmlElement* item = root().findChild("Item");
    EXPECT_STREQ("x", item->findAttribute("Name")->value());
    EXPECT_STREQ("y", item->findAttribute("name")->value());
    EXPECT_EQ(nullptr, item->findAttribute("NAME"));
}

struct IntCase {
    const char* value;
    int expected;
};

class XmlIntValueTest : public testing::TestWithParam<IntCase> {};

TEST_P(XmlIntValueTest, ReadsTheDecodedValueAsDecimal)
{
    std::string text = std::string("<?x?><a v=\"") + GetParam().value + "\"/>";
    XmlDocument document(text.c_str(), XmlDocument::sourceText);
    EXPECT_EQ(GetParam().expected, document.root()->findAttribute("v")->intValue());
}

INSTANTIATE_TEST_SUITE_P(Values, XmlIntValueTest,
                         testing::Values(IntCase{"12abc", 12}, IntCase{"", 0}, IntCase{" -5", -5},
                                         IntCase{"+7", 7}, IntCase{"&#52;2", 42}, IntCase{"x1", 0}));

struct EntityCase {
    const char* source;
    const char* decoded;
};

class XmlDecodeTest : public testing::TestWithParam<EntityCase> {};

TEST_P(XmlDecodeTest, Decodes)
{
    EXPECT_EQ(GetParam().decoded, decode(GetParam().source));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, XmlDecodeTest,
    testing::Values(EntityCase{"a &amp; b", "a & b"}, EntityCase{"&quot;&apos;&lt;&gt;", "\"'<>"},
                    EntityCase{"&#65;", "A"}, EntityCase{"&#x41;", "A"}, EntityCase{"&#X41;", "A"},
                    EntityCase{"&#xE9;", "\xC3\xA9"}, EntityCase{"&#x1F600;", "\xEF\x98\x80"},
                    EntityCase{"&#65xy", "Ay"}, EntityCase{"a&#65", "aA"}, EntityCase{"& b", "& b"},
                    EntityCase{"&foo;", "&foo;"}, EntityCase{"&amp", "&amp"}, EntityCase{"&#;z", "z"},
                    EntityCase{"&#", ""}, EntityCase{"&#x", ""}, EntityCase{"&#0;", ""},
                    EntityCase{"&#99999999999999999999;", "\xEF\xBF\xBF"},
                    EntityCase{"&#x123456789ABCDEF41;", "\xEE\xBD\x81"}));

TEST(XmlEntitiesTest, DecodeWithoutDestinationGivesSourceLength)
{
    EXPECT_EQ(9, decodeXmlEntities("a &amp; b", nullptr));
}

TEST(XmlEntitiesTest, DecodeReturnsDecodedLength)
{
    char buffer[16];
    EXPECT_EQ(5, decodeXmlEntities("a &amp; b", buffer));
}

// Windows and Wine may turn a lone surrogate into U+FFFD or refuse it; either way the
// output stays within the source's length.
TEST(XmlEntitiesTest, LoneSurrogateIsReplacementOrNothing)
{
    const std::string result = decode("&#xD800;");
    EXPECT_TRUE(result.empty() || result == "\xEF\xBF\xBD") << result.size();
}

TEST(XmlEntitiesTest, EncodesMarkupCharacters)
{
    EXPECT_EQ("a&amp;b&lt;&gt;&quot;&apos;&#65;", encode("a&b<>\"'&#65;"));
}

TEST(XmlEntitiesTest, EncodeWithoutSourceOrDestination)
{
    EXPECT_EQ(0, encodeXmlEntities(nullptr, nullptr));
    EXPECT_EQ(7, encodeXmlEntities("a&b", nullptr));
}

struct ElementEndCase {
    const char* name;
    const char* text;
    int end;  // offset just after the element's end; -1 when it is not found
};

class FindElementEndTest : public testing::TestWithParam<ElementEndCase> {};

TEST_P(FindElementEndTest, FindsTheEnd)
{
    const std::string text = GetParam().text;
    const char* found = findElementEnd(text.data(), text.data() + text.size());
    EXPECT_EQ(GetParam().end, found ? static_cast<int>(found - text.data()) : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FindElementEndTest,
    testing::Values(ElementEndCase{"Nested", "<a><a></a></a>tail", 14},
                    ElementEndCase{"SelfClosingChildKeepsDepth", "<a><b/></a>", 11},
                    ElementEndCase{"SelfClosingFirstTag", "<a x/>", 5},
                    ElementEndCase{"QuotedGreaterAndSlash", R"(<a t="/>"><b q="</a>"/></a>)", 27},
                    ElementEndCase{"CommentHidesEndTag", "<a><!-- </a> --></a>", 20},
                    ElementEndCase{"CDataHidesEndTag", "<a><![CDATA[</a>]]></a>", 23},
                    ElementEndCase{"ProcessingInstructionKeepsDepth", "<a><?p?></a>", 12},
                    ElementEndCase{"Unclosed", "<a><b></b>", -1},
                    ElementEndCase{"EndTagWithoutGreater", "<a></a", -1},
                    ElementEndCase{"UnterminatedQuote", "<a t=\"></a>", -1},
                    ElementEndCase{"UnterminatedCData", "<a><![CDATA[</a>", -1}),
    [](const testing::TestParamInfo<ElementEndCase>& info) { return info.param.name; });
