#include "app/command_options.h"

#include <algorithm>

namespace ledger {

namespace {

// Arguments are bytes, not always UTF-8 (a file name from an older system):
// each byte goes through the parser as one Latin-1 character and comes back
// as it was.
QString fromBytes(const std::string& bytes) { return QString::fromLatin1(bytes.data(), qsizetype(bytes.size())); }
std::string toBytes(const QString& text) { return text.toLatin1().toStdString(); }

std::vector<std::string> toBytes(const QStringList& list) {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(list.size()));
  for (const QString& s : list) out.push_back(toBytes(s));
  return out;
}

}  // namespace

CommandOptions::CommandOptions(std::span<const std::string> args, std::initializer_list<CommandOption> options) {
  // "-name" is read as "--name", never as a bundle of one-letter options.
  m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const CommandOption& o : options)
    m_parser.addOption(QCommandLineOption(QString::fromLatin1(o.name), QString(),
                                          o.takesValue ? QStringLiteral("value") : QString()));
  QStringList list{QStringLiteral("shareledger")};  // the parser skips the program's name
  for (const std::string& a : args) list << fromBytes(a);
  if (!m_parser.parse(list)) m_mistake = findMistake(args, options);
}

// QCommandLineParser says only that something is wrong; the user is told
// which argument, as written.
std::optional<OptionMistake> CommandOptions::findMistake(std::span<const std::string> args,
                                                         std::initializer_list<CommandOption> options) const {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") break;
    if (a.size() < 2 || a[0] != '-') continue;
    const std::size_t dashes = a[1] == '-' ? 2 : 1;
    const std::size_t eq = a.find('=');
    const bool withValue = eq != std::string::npos;
    const std::string name = a.substr(dashes, withValue ? eq - dashes : std::string::npos);
    const auto known =
        std::find_if(options.begin(), options.end(), [&](const CommandOption& o) { return name == o.name; });
    if (known == options.end() || (!known->takesValue && withValue))
      return OptionMistake{OptionMistake::Unknown, a, name};
    if (known->takesValue && !withValue && ++i == args.size())
      return OptionMistake{OptionMistake::NoValue, a, name};
  }
  // Not reached: the parser fails only on one of the above.
  return OptionMistake{OptionMistake::Unknown, args.empty() ? std::string() : args.back(), {}};
}

std::vector<std::string> CommandOptions::values(const char* name) const {
  return toBytes(m_parser.values(QString::fromLatin1(name)));
}

std::optional<std::string> CommandOptions::value(const char* name) const {
  const QStringList all = m_parser.values(QString::fromLatin1(name));
  if (all.isEmpty()) return std::nullopt;
  return toBytes(all.last());
}

std::vector<std::string> CommandOptions::positional() const { return toBytes(m_parser.positionalArguments()); }

std::optional<char> delimiterFromText(const std::string& text) {
  if (text == "," || text == "comma") return ',';
  if (text == ";" || text == "semicolon") return ';';
  if (text == "\t" || text == "tab" || text == "\\t") return '\t';
  return std::nullopt;
}

}  // namespace ledger
