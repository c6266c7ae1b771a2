#include "app/KronaxApplication.h"
#include "app/KronaxWindow.h"
#include "form/KronaxConfigForm.h"
#include "version/KronaxVersion.h"

#include <QStringList>

#include <cstring>
#include <iostream>

namespace {

const char* const HelpText = R"(Usage: kronax-config [OPTION] [FILE.kxcfg]
Configure a KRONAX crank-angle measurement board over a serial (COM) port.

With a FILE, the window opens it once it has read the board, as File > Open does,
and asks before it writes the file's configuration to the board.

The window reads the board's configuration through the chosen COM port (9600 baud,
8 data bits, no parity, 1 stop bit), lets the operator edit it, writes it back, stores
it as the board's power-on default, starts the board's algorithms, reads its status and
identity, saves and opens .kxcfg files, and logs every exchange with the board.

The serial devices with hardware behind them are offered as COM ports: ttyS<k> as
COM<k+1>, ttyUSB<k> as COM<k+101> and ttyACM<k> as COM<k+201>. Opening them needs
membership in the dialout group. Qt's own options, such as -platform, are accepted too.

Options:
  --help                 show this text and exit
  --version              show the version and exit

Environment:
  KRONAX_PORTS           a folder whose COM<n> symbolic links are the only ports
                         offered (and whose ports.ini maps COM numbers to boards on
                         the network)
  KRONAX_RECORDS         the record store, a SQLite file (default:
                         $XDG_DATA_HOME/kronax/records.sqlite3)
  KRONAX_STATION         the station named in each record (default: the host name)
  KRONAX_RECORDS_SERVER  the PostgreSQL connection string of the records server the
                         window forwards its records to (or Server= in [Records] of
                         the settings file)
  XDG_CONFIG_HOME        the user's configuration folder (default: ~/.config)
  XDG_DATA_HOME          the user's data folder (default: ~/.local/share)

Files:
  $XDG_CONFIG_HOME/kronax/kronax-config.ini
                         the last chosen COM port, written when the window closes;
                         kept beside the program instead for a portable copy (a
                         kronax-config.ini already there) and in the build folder
  $XDG_CONFIG_HOME/kronax/ports/COM<n>
                         symbolic links that give serial devices COM port numbers
                         of one's choice
  $XDG_CONFIG_HOME/kronax/ports.ini
                         COM port numbers for boards on the network ([ports]
                         COM<n> = rfc2217://host:port or socket://host:port)
)";

// Answered before the application object exists, so that they need no display.
bool AsksFor(const char* option, int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (AsksFor("--help", argc, argv)) {
        std::cout << HelpText;
        return 0;
    }
    if (AsksFor("--version", argc, argv)) {
        std::cout << "kronax-config " << kronax::KronaxVersion << "\n";
        return 0;
    }
    kronax::KronaxApplication application(argc, argv);
    kronax::KronaxWindow window;
    // Qt has taken its own options out by now; what is left and is no option names a file.
    const QStringList arguments = application.arguments().mid(1);
    for (const QString& argument : arguments)
        if (!argument.startsWith('-'))
            window.Form().OpenOnStart(argument.toLocal8Bit().toStdString());
    window.show();
    return application.exec();
}
