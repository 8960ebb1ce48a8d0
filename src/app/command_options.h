#pragma once
// The options of one command, read by QCommandLineParser: "--name value"
// or "--name=value", flags alone, "--" ending the options, the last value
// of an option given twice winning. A mistake is named as the user wrote
// it, for the command's own message.

#include <QCommandLineParser>

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ledger {

struct CommandOption {
  const char* name;  // without the dashes
  bool takesValue;
};

struct OptionMistake {
  enum Kind {
    Unknown,  // not an option of the command (or a flag given a value)
    NoValue,  // the last argument, an option that takes a value
  } kind;
  std::string argument;  // as written, "=value" and all
  std::string name;      // without the dashes and any "=value"
};

class CommandOptions {
 public:
  CommandOptions(std::span<const std::string> args, std::initializer_list<CommandOption> options);

  // The first mistake in the arguments; nothing else here counts then.
  const std::optional<OptionMistake>& mistake() const { return m_mistake; }

  bool isSet(const char* name) const { return m_parser.isSet(QString::fromLatin1(name)); }
  // Every value given to the option, in order.
  std::vector<std::string> values(const char* name) const;
  // The last value given to the option.
  std::optional<std::string> value(const char* name) const;
  // The arguments that are not options, in order.
  std::vector<std::string> positional() const;

 private:
  std::optional<OptionMistake> findMistake(std::span<const std::string> args,
                                           std::initializer_list<CommandOption> options) const;

  QCommandLineParser m_parser;
  std::optional<OptionMistake> m_mistake;
};

// The delimiter an import's --delimiter names: ',' or "comma", ';' or
// "semicolon", a tab, "tab" or "\t"; nullopt for anything else.
std::optional<char> delimiterFromText(const std::string& text);

}  // namespace ledger
