#include "app/ToolCommandLine.h"

#include <QFile>

QString FromLocalText(const std::string& text) { return QFile::decodeName(QByteArray::fromStdString(text)); }
std::string ToLocalText(const QString& text) { return QFile::encodeName(text).toStdString(); }

ToolCommandLine::ToolCommandLine(std::string command, std::string arguments, std::string description)
    : mCommand(std::move(command)), mArguments(std::move(arguments)), mDescription(std::move(description)) {
    mParser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    AddFlag({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
}

void ToolCommandLine::AddFlag(const QStringList& names, const QString& help) {
    mParser.addOption(QCommandLineOption(names, help));
}

void ToolCommandLine::AddValue(const QStringList& names, const QString& valueName, const QString& help) {
    mParser.addOption(QCommandLineOption(names, help, valueName));
}

ToolCommandLine::Outcome ToolCommandLine::Parse(const std::vector<std::string>& args) {
    QStringList words{QStringLiteral("movelark")};
    for (const std::string& arg : args) words << FromLocalText(arg);
    if (!mParser.parse(words)) {
        mError = mParser.errorText().toStdString();
        return Outcome::Refused;
    }
    return mParser.isSet(QStringLiteral("help")) ? Outcome::Help : Outcome::Run;
}

bool ToolCommandLine::IsSet(const char* name) const { return mParser.isSet(QString::fromLatin1(name)); }

std::string ToolCommandLine::Value(const char* name) const {
    return ToLocalText(mParser.value(QString::fromLatin1(name)));
}

std::vector<std::string> ToolCommandLine::Values(const char* name) const {
    std::vector<std::string> values;
    for (const QString& value : mParser.values(QString::fromLatin1(name))) values.push_back(ToLocalText(value));
    return values;
}

std::vector<std::string> ToolCommandLine::Positional() const {
    std::vector<std::string> words;
    for (const QString& word : mParser.positionalArguments()) words.push_back(ToLocalText(word));
    return words;
}

std::string ToolCommandLine::UsageLine() const {
    return "usage: movelark " + mCommand + " [options] " + mArguments;
}

// Qt's own help starts with a usage line naming the program as it was
// started; ours names the subcommand.
std::string ToolCommandLine::HelpText() const {
    const std::string qtHelp = mParser.helpText().toStdString();
    const size_t options = qtHelp.find("Options:");
    return "Usage: movelark " + mCommand + " [options] " + mArguments + "\n" + mDescription + "\n\n" +
           (options == std::string::npos ? std::string() : qtHelp.substr(options));
}
