// The RTF reader: what text and formats small documents turn into, and that
// broken documents are read as far as they go.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "case_names.h"
#include "ui/info/rtf_reader.h"

namespace ledger {
namespace {

QStringList paragraphs(const QByteArray& rtf) {
  QTextDocument doc;
  readRtf(rtf, &doc);
  QStringList texts;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) texts << block.text();
  return texts;
}

struct TextCase {
  const char* name;
  QByteArray rtf;
  QStringList expected;  // one entry per paragraph
};

void printParagraphs(const QStringList& paragraphs, std::ostream* os) {
  *os << "{";
  for (qsizetype i = 0; i < paragraphs.size(); ++i)
    *os << (i ? ", " : "") << test::quoted(paragraphs[i].toStdString());
  *os << "}";
}

void PrintTo(const TextCase& c, std::ostream* os) {
  // Long documents (the depth-limit ones) are shown by their start.
  constexpr qsizetype kShown = 200;
  *os << c.name << ": " << test::quoted(c.rtf.left(kShown).toStdString())
      << (c.rtf.size() > kShown ? "... (" + std::to_string(c.rtf.size()) + " bytes)" : std::string())
      << " reads as ";
  printParagraphs(c.expected, os);
}

class RtfText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfText, ReadsParagraphs) {
  EXPECT_EQ(paragraphs(GetParam().rtf), GetParam().expected);
}

const QString kLineBreak(QChar::LineSeparator);

INSTANTIATE_TEST_SUITE_P(
    RtfDocuments, RtfText,
    ::testing::Values(
        TextCase{"PlainParagraph", R"({\rtf1\ansi Hello, world.\par})", {"Hello, world."}},
        TextCase{"ParagraphsAndLineBreaks", R"({\rtf1 One\par Two\line Three\par\par Four})",
                 {"One", "Two" + kLineBreak + "Three", "", "Four"}},
        TextCase{"NestedGroups", R"({\rtf1 a{\b b{\i c}d}e})", {"abcde"}},
        TextCase{"EscapedBracesAndBackslash", R"({\rtf1 a\{b\}c\\d})", {"a{b}c\\d"}},
        TextCase{"CodePage1252Escapes", R"({\rtf1 caf\'e9 \'80\'93\'E9})", {QString::fromUtf8("café €“é")}},
        TextCase{"UnicodeSkipsItsFallback", R"({\rtf1 \u8364?5{\uc2\u233\'65\'65}\u233?})",
                 {QString::fromUtf8("€5éé")}},
        TextCase{"UnicodeWithoutFallback", R"({\rtf1\uc0\u233 x\u-3913 y})",
                 {QString::fromUtf8("éx") + QChar(0xF0B7) + "y"}},
        TextCase{"FallbackEndsWithItsGroup", R"({\rtf1\uc3{\u233 a}b})", {QString::fromUtf8("éb")}},
        TextCase{"TabsAndNamedCharacters", R"({\rtf1 a\tab b\~c\emdash d\bullet})",
                 {QString::fromUtf8("a\tb\u00A0c—d•")}},
        TextCase{"TablesAndHiddenDestinationsShowNothing",
                 R"({\rtf1{\fonttbl{\f0\fswiss Arial;}}{\colortbl;\red255\green0\blue0;})"
                 R"({\stylesheet{\s0 Normal;}}{\info{\title Secret}}{\*\generator Pad;})"
                 R"({\pict\pngblip 89504e47}{\header Top}Shown})",
                 {"Shown"}},
        TextCase{"BinaryDataIsNotRead", R"({\rtf1{\pict\bin3 }{}}x})", {"x"}},
        TextCase{"UnknownWordsAreSkipped", R"({\rtf1\foo12 a\zz b\q-5 c\|d})", {"abcd"}},
        TextCase{"AbsurdParameters", R"({\rtf1\fs999999999999 a\u99999999999? b\li-99999999999 c})", {"a bc"}},
        TextCase{"SourceLineEndsAreNotText", "{\\rtf1 a\r\nb\\\nc}", {"ab", "c"}},
        TextCase{"TruncatedDocument", R"({\rtf1 abc{\b de)", {"abcde"}},
        TextCase{"TruncatedHexEscape", R"({\rtf1 x\'4)", {"x"}},
        TextCase{"TruncatedControlWord", R"({\rtf1 x\u)", {"x"}},
        TextCase{"TruncatedAfterBackslash", "{\\rtf1 x\\", {"x"}},
        TextCase{"BadHexEscape", R"({\rtf1 x\'zzy})", {"xzzy"}},
        TextCase{"StrayClosingBraceEndsDocument", R"({\rtf1 a}}b})", {"a"}},
        TextCase{"MissingClosingBraces", R"({\rtf1 {{a})", {"a"}},
        TextCase{"TextAfterTheDocumentIsIgnored", R"({\rtf1 a}b)", {"a"}},
        TextCase{"OptionalDestinationBeyondTheDepthLimit",
                 QByteArray(kRtfMaxDepth, '{') + R"({\*\x y}a)" + QByteArray(kRtfMaxDepth, '}'), {"a"}},
        TextCase{"PlainTextWithGroups", "x{y}z", {"xyz"}},
        TextCase{"Empty", "", {""}}),
    test::ByCaseName());

struct NestingCase {
  const char* name;
  int depth;
  QStringList expected;
};

void PrintTo(const NestingCase& c, std::ostream* os) {
  *os << c.name << ": " << c.depth << " groups deep reads as ";
  printParagraphs(c.expected, os);
}

class RtfNesting : public ::testing::TestWithParam<NestingCase> {};

// Groups deeper than the limit are dropped, not followed.
TEST_P(RtfNesting, DeepGroups) {
  const int depth = GetParam().depth;
  const QByteArray rtf = QByteArray(depth, '{') + "a" + QByteArray(depth, '}');
  EXPECT_EQ(paragraphs(rtf), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(RtfDepths, RtfNesting,
                         ::testing::Values(NestingCase{"AtTheLimit", kRtfMaxDepth, {"a"}},
                                           NestingCase{"OneBeyondTheLimit", kRtfMaxDepth + 1, {""}},
                                           NestingCase{"FarBeyondTheLimit", 100000, {""}}),
                         test::ByCaseName());

// The format of the first occurrence of ch in the document.
QTextCharFormat formatOf(const QTextDocument& doc, QChar ch) {
  const int at = doc.toPlainText().indexOf(ch);
  EXPECT_GE(at, 0) << "no " << QString(ch).toStdString();
  QTextCursor cursor(const_cast<QTextDocument*>(&doc));
  cursor.setPosition(at + 1);
  return cursor.charFormat();
}

struct FormatCase {
  char ch;
  bool bold, italic, underline, strike;
  double points;
  const char* family;
  QColor color;  // invalid: no colour of its own
};

TEST(RtfFormats, CharacterFormatsFollowGroupsAndTables) {
  QTextDocument doc;
  readRtf(R"({\rtf1{\fonttbl{\f0\froman Times New Roman;}{\f1\fswiss Arial;}})"
          R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;}\deff0 )"
          R"(a{\b b{\i c}\ul d\ul0 e}\fs32 f\plain g\f1\cf1 h\cf2\strike i\cf0\strike0 j\b\b0 k\ul l\ulnone m})",
          &doc);
  const QColor none;
  const FormatCase cases[] = {
      {'a', false, false, false, false, 12, "Times New Roman", none},
      {'b', true, false, false, false, 12, "Times New Roman", none},
      {'c', true, true, false, false, 12, "Times New Roman", none},
      {'d', true, false, true, false, 12, "Times New Roman", none},
      {'e', true, false, false, false, 12, "Times New Roman", none},
      {'f', false, false, false, false, 16, "Times New Roman", none},
      {'g', false, false, false, false, 12, "Times New Roman", none},
      {'h', false, false, false, false, 12, "Arial", Qt::red},
      {'i', false, false, false, true, 12, "Arial", Qt::blue},
      {'j', false, false, false, false, 12, "Arial", none},
      {'k', false, false, false, false, 12, "Arial", none},
      {'l', false, false, true, false, 12, "Arial", none},
      {'m', false, false, false, false, 12, "Arial", none},
  };
  ASSERT_EQ(doc.toPlainText(), "abcdefghijklm");
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(std::string(1, c.ch));
    const QTextCharFormat f = formatOf(doc, QLatin1Char(c.ch));
    EXPECT_EQ(f.fontWeight() >= QFont::Bold, c.bold);
    EXPECT_EQ(f.fontItalic(), c.italic);
    EXPECT_EQ(f.fontUnderline(), c.underline);
    EXPECT_EQ(f.fontStrikeOut(), c.strike);
    EXPECT_DOUBLE_EQ(f.fontPointSize(), c.points);
    EXPECT_EQ(f.fontFamilies().toStringList(), QStringList{c.family});
    EXPECT_EQ(f.foreground().style() != Qt::NoBrush ? f.foreground().color() : QColor(), c.color);
  }
}

TEST(RtfFormats, FontTableWithoutEntryGroups) {
  QTextDocument doc;
  readRtf(R"({\rtf1{\fonttbl\f0\fnil Courier New;\f3\fnil{\*\panose 0000}Verdana{\falt Geneva};}\f3 x})", &doc);
  EXPECT_EQ(doc.toPlainText(), "x");
  EXPECT_EQ(formatOf(doc, 'x').fontFamilies().toStringList(), QStringList{"Verdana"});
}

TEST(RtfFormats, ParagraphFormatsApplyToTheirParagraph) {
  QTextDocument doc;
  readRtf(R"({\rtf1\qc Centre\par\pard Left\par\li720\fi-360\sa120 Hanging\par\pard\qr Right})", &doc);
  ASSERT_EQ(doc.blockCount(), 4);
  EXPECT_EQ(doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_EQ(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  const QTextBlockFormat hanging = doc.findBlockByNumber(2).blockFormat();
  EXPECT_DOUBLE_EQ(hanging.leftMargin(), 720 / 15.0);
  EXPECT_DOUBLE_EQ(hanging.textIndent(), -360 / 15.0);
  EXPECT_DOUBLE_EQ(hanging.bottomMargin(), 120 / 15.0);
  EXPECT_EQ(doc.findBlockByNumber(3).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  EXPECT_DOUBLE_EQ(doc.findBlockByNumber(3).blockFormat().leftMargin(), 0);
}

TEST(RtfFormats, ReadingAgainReplacesTheDocument) {
  QTextDocument doc;
  readRtf(R"({\rtf1 first\par second})", &doc);
  readRtf(R"({\rtf1 third})", &doc);
  EXPECT_EQ(doc.toPlainText(), "third");
}

}  // namespace
}  // namespace ledger
