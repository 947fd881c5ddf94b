#include "app/command_line.h"

#include <QCommandLineParser>

namespace tarvenia {

namespace {

    // Qt's own options (QGuiApplication, QApplication, the xcb platform), with
    // or without a value. They are the window's: the parser lets them pass and
    // the application object takes them.
    struct QtOption {
        const char* name;
        bool value;
    };
    constexpr QtOption kQtOptions[] = { { "platform", true }, { "platformpluginpath", true },
        { "platformtheme", true }, { "plugin", true }, { "qwindowgeometry", true },
        { "geometry", true }, { "qwindowicon", true }, { "icon", true }, { "qwindowtitle", true },
        { "title", true }, { "session", true }, { "style", true }, { "stylesheet", true },
        { "display", true }, { "name", true }, { "visual", true }, { "qmljsdebugger", true },
        { "reverse", false }, { "widgetcount", false }, { "testability", false },
        { "dograb", false }, { "nograb", false } };

} // namespace

CommandLine ParseQtCommandLine(int argc, char* argv[])
{
    using Command = CommandLine::Command;
    QCommandLineParser parser;
    // "-platform xcb" as Qt writes it: one dash, a word.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList { "h", "help", "?" });
    const QCommandLineOption version(QStringList { "v", "version" });
    const QCommandLineOption today("today");
    parser.addOptions({ help, version, today });
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.value)
            option.setValueName(QStringLiteral("value"));
        parser.addOption(option);
    }
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty())
            return { Command::Window, parser.errorText().toLocal8Bit().toStdString() };
        const QString name = unknown.first();
        const std::string dashes = name.size() == 1 ? "-" : "--";
        return { Command::Window,
            "unknown option '" + dashes + name.toLocal8Bit().toStdString() + "'" };
    }
    if (!parser.positionalArguments().isEmpty())
        return { Command::Window,
            "unknown argument '" + parser.positionalArguments().first().toLocal8Bit().toStdString()
                + "'" };
    if (parser.isSet(help))
        return { Command::Help, {} };
    if (parser.isSet(version))
        return { Command::Version, {} };
    return { parser.isSet(today) ? Command::Today : Command::Window, {} };
}

} // namespace tarvenia
