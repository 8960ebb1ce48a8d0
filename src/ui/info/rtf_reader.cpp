#include "rtf_reader.h"

#include <QColor>
#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/code_page.h"

namespace ledger {

namespace {

enum class Destination { Text, FontTable, ColorTable, Skip };

enum class Word {
  Unknown,
  // text
  Par, Line, Tab, Cell, Row, Bullet, EnDash, EmDash, LeftQuote, RightQuote, LeftDoubleQuote, RightDoubleQuote,
  Unicode, UnicodeSkip, Bin,
  // character formatting
  Bold, Italic, Underline, UnderlineNone, Strike, FontSize, Font, DefaultFont, Color, Plain,
  // paragraph formatting
  Pard, AlignLeft, AlignCenter, AlignRight, AlignJustify, LeftIndent, RightIndent, FirstIndent, SpaceBefore,
  SpaceAfter,
  // destinations and tables
  FontTable, ColorTable, Red, Green, Blue, SkipDestination,
};

Word lookUp(std::string_view name) {
  static const std::unordered_map<std::string_view, Word> kWords = {
      {"par", Word::Par}, {"page", Word::Par}, {"sect", Word::Par}, {"line", Word::Line}, {"tab", Word::Tab},
      {"cell", Word::Cell}, {"row", Word::Row}, {"bullet", Word::Bullet}, {"endash", Word::EnDash},
      {"emdash", Word::EmDash}, {"lquote", Word::LeftQuote}, {"rquote", Word::RightQuote},
      {"ldblquote", Word::LeftDoubleQuote}, {"rdblquote", Word::RightDoubleQuote}, {"u", Word::Unicode},
      {"uc", Word::UnicodeSkip}, {"bin", Word::Bin},
      {"b", Word::Bold}, {"i", Word::Italic}, {"ul", Word::Underline}, {"uld", Word::Underline},
      {"uldb", Word::Underline}, {"uldash", Word::Underline}, {"ulth", Word::Underline}, {"ulw", Word::Underline},
      {"ulwave", Word::Underline}, {"ulnone", Word::UnderlineNone}, {"strike", Word::Strike},
      {"fs", Word::FontSize}, {"f", Word::Font}, {"deff", Word::DefaultFont}, {"cf", Word::Color},
      {"plain", Word::Plain},
      {"pard", Word::Pard}, {"ql", Word::AlignLeft}, {"qc", Word::AlignCenter}, {"qr", Word::AlignRight},
      {"qj", Word::AlignJustify}, {"li", Word::LeftIndent}, {"ri", Word::RightIndent}, {"fi", Word::FirstIndent},
      {"sb", Word::SpaceBefore}, {"sa", Word::SpaceAfter},
      {"fonttbl", Word::FontTable}, {"colortbl", Word::ColorTable}, {"red", Word::Red}, {"green", Word::Green},
      {"blue", Word::Blue},
      // Destinations that hold no text of the document.
      {"info", Word::SkipDestination}, {"stylesheet", Word::SkipDestination}, {"pict", Word::SkipDestination},
      {"object", Word::SkipDestination}, {"objdata", Word::SkipDestination}, {"header", Word::SkipDestination},
      {"headerl", Word::SkipDestination}, {"headerr", Word::SkipDestination}, {"headerf", Word::SkipDestination},
      {"footer", Word::SkipDestination}, {"footerl", Word::SkipDestination}, {"footerr", Word::SkipDestination},
      {"footerf", Word::SkipDestination}, {"footnote", Word::SkipDestination}, {"ftnsep", Word::SkipDestination},
      {"ftnsepc", Word::SkipDestination}, {"ftncn", Word::SkipDestination}, {"aftnsep", Word::SkipDestination},
      {"aftnsepc", Word::SkipDestination}, {"aftncn", Word::SkipDestination}, {"author", Word::SkipDestination},
      {"operator", Word::SkipDestination}, {"title", Word::SkipDestination}, {"subject", Word::SkipDestination},
      {"keywords", Word::SkipDestination}, {"comment", Word::SkipDestination}, {"doccomm", Word::SkipDestination},
      {"company", Word::SkipDestination}, {"creatim", Word::SkipDestination}, {"revtim", Word::SkipDestination},
      {"printim", Word::SkipDestination}, {"buptim", Word::SkipDestination}, {"template", Word::SkipDestination},
      {"falt", Word::SkipDestination}, {"fldinst", Word::SkipDestination}, {"filetbl", Word::SkipDestination},
      {"revtbl", Word::SkipDestination}, {"rsidtbl", Word::SkipDestination}, {"listtable", Word::SkipDestination},
      {"listoverridetable", Word::SkipDestination}, {"pgdsctbl", Word::SkipDestination},
      {"xmlnstbl", Word::SkipDestination}, {"generator", Word::SkipDestination},
      {"themedata", Word::SkipDestination}, {"colorschememapping", Word::SkipDestination},
      {"latentstyles", Word::SkipDestination}, {"datastore", Word::SkipDestination},
      {"nonshppict", Word::SkipDestination}, {"private", Word::SkipDestination},
      {"userprops", Word::SkipDestination}, {"docvar", Word::SkipDestination}, {"fontemb", Word::SkipDestination},
      {"fontfile", Word::SkipDestination},
  };
  const auto it = kWords.find(name);
  return it == kWords.end() ? Word::Unknown : it->second;
}

// Limits that keep absurd parameters from reaching the layout.
constexpr int kMaxParameter = 1'000'000'000;
constexpr int kMaxWordLength = 32;
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxTwips = 31680;  // 22 inches
constexpr int kMaxUnicodeSkip = 64;
constexpr double kTwipsPerPixel = 15.0;  // at the 96 dots per inch the document lays out in

struct CharState {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int halfPoints = 24;
  int font = -1;  // font table number; -1 stands for the document's default font
  int color = 0;  // colour table index
  bool operator==(const CharState&) const = default;
};

struct ParaState {
  Qt::Alignment alignment = Qt::AlignLeft;
  int leftIndent = 0;  // all in twips
  int rightIndent = 0;
  int firstIndent = 0;
  int spaceBefore = 0;
  int spaceAfter = 0;
};

struct GroupState {
  CharState chars;
  ParaState para;
  Destination destination = Destination::Text;
  int unicodeSkip = 1;
};

class Reader {
 public:
  Reader(const QByteArray& rtf, QTextDocument* doc) : m_in(rtf), m_cursor(doc) { m_stack.emplace_back(); }

  void run() {
    m_wrapped = QByteArrayView(m_in).trimmed().startsWith('{');
    while (!m_done && m_pos < m_in.size()) {
      const char c = m_in[m_pos++];
      switch (c) {
        case '{': openGroup(); break;
        case '}': closeGroup(); break;
        case '\\': readControl(); break;
        case '\r':
        case '\n':
        case '\0': break;
        default:
          if (!skipFallback()) character(fromWindows1252(static_cast<unsigned char>(c)));
      }
    }
    flushText();
  }

 private:
  GroupState& state() { return m_stack.back(); }
  Destination destination() const {
    return m_skippedDepth > 0 ? Destination::Skip : m_stack.back().destination;
  }

  // ---- groups ----

  void openGroup() {
    m_fallbackLeft = 0;
    if (m_skippedDepth > 0 || static_cast<int>(m_stack.size()) > kRtfMaxDepth) {
      ++m_skippedDepth;
      return;
    }
    m_stack.push_back(m_stack.back());
  }

  void closeGroup() {
    m_fallbackLeft = 0;
    if (m_skippedDepth > 0) {
      --m_skippedDepth;
      return;
    }
    if (m_stack.back().destination == Destination::FontTable) commitFont();
    if (m_stack.size() == 1) {
      m_done = true;  // a stray '}' ends the document
      return;
    }
    m_stack.pop_back();
    // So does the end of the group that wraps the whole document.
    if (m_stack.size() == 1 && m_wrapped) m_done = true;
  }

  // ---- tokens ----

  void readControl() {
    if (m_pos >= m_in.size()) return;
    const char c = m_in[m_pos];
    if (isLetter(c)) {
      readControlWord();
      return;
    }
    ++m_pos;
    if (c == '\'') {
      const std::optional<unsigned char> byte = readHexByte();
      if (!skipFallback() && byte) character(fromWindows1252(*byte));
      return;
    }
    if (c == '*') {
      // An optional destination: we know none of them, so the group goes
      // (unless it is beyond the depth limit and going already).
      if (m_skippedDepth == 0) state().destination = Destination::Skip;
      return;
    }
    if (skipFallback()) return;
    switch (c) {
      case '\\':
      case '{':
      case '}': character(QChar(c)); break;
      case '~': character(QChar(0x00A0)); break;
      case '_': character(QChar(0x2011)); break;
      case '-': character(QChar(0x00AD)); break;
      case '\r':
      case '\n': paragraph(); break;
      default: break;  // \| \: and the like mean nothing to a reader
    }
  }

  void readControlWord() {
    const qsizetype start = m_pos;
    while (m_pos < m_in.size() && isLetter(m_in[m_pos])) ++m_pos;
    const qsizetype length = m_pos - start;
    std::optional<int> parameter;
    const bool negative = m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && isDigit(m_in[m_pos + 1]);
    if (negative) ++m_pos;
    if (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
      int value = 0;
      for (; m_pos < m_in.size() && isDigit(m_in[m_pos]); ++m_pos)
        value = value < kMaxParameter / 10 ? value * 10 + (m_in[m_pos] - '0') : kMaxParameter;
      parameter = negative ? -value : value;
    }
    if (m_pos < m_in.size() && m_in[m_pos] == ' ') ++m_pos;  // the delimiter belongs to the word
    const Word word = length > kMaxWordLength
                          ? Word::Unknown
                          : lookUp(std::string_view(m_in.constData() + start, static_cast<size_t>(length)));
    // Binary data is skipped wherever it stands, so that its bytes are never
    // taken for braces.
    if (word == Word::Bin) {
      m_pos += std::clamp<qsizetype>(parameter.value_or(0), 0, m_in.size() - m_pos);
      return;
    }
    if (skipFallback()) return;
    controlWord(word, parameter);
  }

  void controlWord(Word word, std::optional<int> parameter) {
    switch (destination()) {
      case Destination::Skip: return;
      case Destination::FontTable: fontTableWord(word, parameter); return;
      case Destination::ColorTable: colorTableWord(word, parameter); return;
      case Destination::Text: textWord(word, parameter); return;
    }
  }

  void textWord(Word word, std::optional<int> parameter) {
    CharState& chars = state().chars;
    ParaState& para = state().para;
    // A toggle without parameter, or with any but 0, switches on.
    const bool on = parameter.value_or(1) != 0;
    const int value = parameter.value_or(0);
    switch (word) {
      case Word::Par:
      case Word::Row: paragraph(); break;
      case Word::Line: character(QChar(QChar::LineSeparator)); break;
      case Word::Tab:
      case Word::Cell: character(QChar('\t')); break;
      case Word::Bullet: character(QChar(0x2022)); break;
      case Word::EnDash: character(QChar(0x2013)); break;
      case Word::EmDash: character(QChar(0x2014)); break;
      case Word::LeftQuote: character(QChar(0x2018)); break;
      case Word::RightQuote: character(QChar(0x2019)); break;
      case Word::LeftDoubleQuote: character(QChar(0x201C)); break;
      case Word::RightDoubleQuote: character(QChar(0x201D)); break;
      case Word::Unicode: unicode(value); break;
      case Word::UnicodeSkip: state().unicodeSkip = std::clamp(value, 0, kMaxUnicodeSkip); break;
      case Word::Bold: chars.bold = on; break;
      case Word::Italic: chars.italic = on; break;
      case Word::Underline: chars.underline = on; break;
      case Word::UnderlineNone: chars.underline = false; break;
      case Word::Strike: chars.strike = on; break;
      case Word::FontSize: chars.halfPoints = parameter ? std::clamp(value, kMinHalfPoints, kMaxHalfPoints) : 24; break;
      case Word::Font: chars.font = value; break;
      case Word::DefaultFont: m_defaultFont = value; break;
      case Word::Color: chars.color = value; break;
      case Word::Plain: chars = CharState(); break;
      case Word::Pard: para = ParaState(); break;
      case Word::AlignLeft: para.alignment = Qt::AlignLeft; break;
      case Word::AlignCenter: para.alignment = Qt::AlignHCenter; break;
      case Word::AlignRight: para.alignment = Qt::AlignRight; break;
      case Word::AlignJustify: para.alignment = Qt::AlignJustify; break;
      case Word::LeftIndent: para.leftIndent = twips(value); break;
      case Word::RightIndent: para.rightIndent = twips(value); break;
      case Word::FirstIndent: para.firstIndent = twips(value); break;
      case Word::SpaceBefore: para.spaceBefore = twips(value); break;
      case Word::SpaceAfter: para.spaceAfter = twips(value); break;
      case Word::FontTable: state().destination = Destination::FontTable; break;
      case Word::ColorTable:
        state().destination = Destination::ColorTable;
        m_colors.clear();
        break;
      case Word::SkipDestination: state().destination = Destination::Skip; break;
      case Word::Red:
      case Word::Green:
      case Word::Blue:
      case Word::Bin:
      case Word::Unknown: break;
    }
  }

  void fontTableWord(Word word, std::optional<int> parameter) {
    if (word == Word::Font) {
      m_tableFont = parameter.value_or(0);
      m_fontName.clear();
    } else if (word == Word::SkipDestination) {
      state().destination = Destination::Skip;  // \falt and the like
    }
  }

  void colorTableWord(Word word, std::optional<int> parameter) {
    const int value = std::clamp(parameter.value_or(0), 0, 255);
    switch (word) {
      case Word::Red: m_red = value; break;
      case Word::Green: m_green = value; break;
      case Word::Blue: m_blue = value; break;
      default: return;
    }
    m_colorGiven = true;
  }

  // ---- characters ----

  // A character of the document, to whatever the current destination makes
  // of it.
  void character(QChar c) {
    switch (destination()) {
      case Destination::Skip: return;
      case Destination::FontTable:
        if (c == QLatin1Char(';')) commitFont();
        else m_fontName += c;
        return;
      case Destination::ColorTable:
        if (c == QLatin1Char(';')) commitColor();
        return;
      case Destination::Text:
        if (m_pendingBlocks > 0 || (!m_text.isEmpty() && !(m_textChars == state().chars))) flushText();
        flushBlocks();
        if (m_text.isEmpty()) m_textChars = state().chars;
        m_textPara = state().para;
        m_text += c;
        return;
    }
  }

  void unicode(int value) {
    // Code units above 32767 are written as negative numbers.
    const int unit = value < 0 ? value + 65536 : value;
    if (unit >= 0 && unit <= 0xFFFF && unit != 0) character(QChar(static_cast<char16_t>(unit)));
    m_fallbackLeft = state().unicodeSkip;
  }

  // True when the token just read is one of the characters that stand in
  // for a \u character, and so is dropped.
  bool skipFallback() {
    if (m_fallbackLeft == 0) return false;
    --m_fallbackLeft;
    return true;
  }

  std::optional<unsigned char> readHexByte() {
    int value = 0;
    for (int i = 0; i < 2; ++i) {
      if (m_pos >= m_in.size()) return std::nullopt;
      const int digit = hexDigit(m_in[m_pos]);
      if (digit < 0) return std::nullopt;
      value = value * 16 + digit;
      ++m_pos;
    }
    return static_cast<unsigned char>(value);
  }

  // ---- tables ----

  void commitFont() {
    const QString name = m_fontName.trimmed();
    if (!name.isEmpty()) m_fonts[m_tableFont] = name;
    m_fontName.clear();
  }

  void commitColor() {
    if (m_colorGiven) m_colors.emplace_back(QColor(m_red, m_green, m_blue));
    else m_colors.emplace_back(std::nullopt);  // "auto": the viewer's own colour
    m_red = m_green = m_blue = 0;
    m_colorGiven = false;
  }

  // ---- output ----

  void paragraph() {
    if (destination() != Destination::Text) return;
    flushText();
    flushBlocks();
    m_cursor.setBlockFormat(blockFormat(state().para));
    m_pendingBlocks = 1;
  }

  // Paragraph marks are written lazily, so that the \par closing the last
  // paragraph leaves no empty one behind it.
  void flushBlocks() {
    for (; m_pendingBlocks > 0; --m_pendingBlocks) m_cursor.insertBlock(blockFormat(state().para), charFormat(state().chars));
  }

  void flushText() {
    if (m_text.isEmpty()) return;
    // A paragraph that the document ends without \par takes the format
    // in effect at its last character.
    m_cursor.setBlockFormat(blockFormat(m_textPara));
    m_cursor.insertText(m_text, charFormat(m_textChars));
    m_text.clear();
  }

  QTextCharFormat charFormat(const CharState& chars) const {
    QTextCharFormat format;
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontUnderline(chars.underline);
    format.setFontStrikeOut(chars.strike);
    format.setFontPointSize(chars.halfPoints / 2.0);
    const auto font = m_fonts.find(chars.font >= 0 ? chars.font : m_defaultFont);
    if (font != m_fonts.end()) format.setFontFamilies(QStringList{font->second});
    if (chars.color >= 0 && chars.color < static_cast<int>(m_colors.size()) && m_colors[chars.color])
      format.setForeground(*m_colors[chars.color]);
    return format;
  }

  static QTextBlockFormat blockFormat(const ParaState& para) {
    QTextBlockFormat format;
    format.setAlignment(para.alignment);
    format.setLeftMargin(std::max(0, para.leftIndent) / kTwipsPerPixel);
    format.setRightMargin(std::max(0, para.rightIndent) / kTwipsPerPixel);
    format.setTextIndent(para.firstIndent / kTwipsPerPixel);
    format.setTopMargin(std::max(0, para.spaceBefore) / kTwipsPerPixel);
    format.setBottomMargin(std::max(0, para.spaceAfter) / kTwipsPerPixel);
    return format;
  }

  // ---- helpers ----

  static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }
  static int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  static int twips(int value) { return std::clamp(value, -kMaxTwips, kMaxTwips); }

  const QByteArray& m_in;
  QTextCursor m_cursor;
  qsizetype m_pos = 0;
  bool m_wrapped = false;  // the input is one group, as an RTF document is
  bool m_done = false;

  std::vector<GroupState> m_stack;  // never empty; back() is the group being read
  int m_skippedDepth = 0;           // groups open beyond kRtfMaxDepth
  int m_fallbackLeft = 0;           // characters still to drop after a \u

  std::map<int, QString> m_fonts;
  int m_defaultFont = 0;
  int m_tableFont = 0;
  QString m_fontName;

  std::vector<std::optional<QColor>> m_colors;
  int m_red = 0;
  int m_green = 0;
  int m_blue = 0;
  bool m_colorGiven = false;

  QString m_text;  // characters not yet in the document, all in m_textChars
  CharState m_textChars;
  ParaState m_textPara;  // paragraph format at the last character read
  int m_pendingBlocks = 0;
};

}  // namespace

void readRtf(const QByteArray& rtf, QTextDocument* doc) {
  doc->clear();
  Reader(rtf, doc).run();
}

}  // namespace ledger
