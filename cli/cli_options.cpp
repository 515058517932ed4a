#include "cli/cli_options.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

const char kCliUsage[] =
    "usage: t6tool COMMAND [ARGUMENTS] [--port PORT] [--log] [--yes]\n"
    "\n"
    "Commands:\n"
    "  probe                 find the device and describe it\n"
    "  info FILE             what a tune file is and the metadata it carries\n"
    "  metadata [POS]        the metadata records of all positions, or of one\n"
    "  backup POS|all OUT    read a position (256 KB) or the whole device (4 MB) into OUT\n"
    "  restore POS|all IN    write IN back exactly: erase, write, verify in the device\n"
    "  erase POS|all         erase a position or the whole device\n"
    "  select POS|off        the position the device presents to the engine, or chip off\n"
    "  write POS FILE        write a tune file into a position, stamped with its record\n"
    "  write all LAYOUT      the same for every position of a .t6layout file with a file\n"
    "  verify POS FILE       compare a position with its tune file, bank by bank\n"
    "  verify all LAYOUT     the same for every position of a .t6layout file with a file\n"
    "\n"
    "Options:\n"
    "  --port PORT   use this port only (Windows: COM7; Linux: a device path such as\n"
    "                /dev/ttyUSB0); without it the ports are searched: COM0 to COM254 on\n"
    "                Windows, /dev/ttyUSB0-7 then /dev/ttyACM0-7 on Linux\n"
    "  --log         write the device log (every frame) to standard error\n"
    "  --yes         do not ask before restore and erase, and write whole 256 KB images\n"
    "                without asking (needed without a terminal)\n"
    "  --help        this text, or a command's own after the command\n"
    "  --version     the version of t6tool\n"
    "\n"
    "POS is 0 to 15 (or A to F). Exit status: 0 done, 1 the device operation failed,\n"
    "2 usage error, 3 no device found.\n";

namespace {

struct CommandText {
    const char* name;
    const char* help;
};

const CommandText kCommands[] = {
    {"probe",
     "usage: t6tool probe [--port PORT] [--log]\n"
     "Finds the device and prints its name as the program shows it, the port and line\n"
     "speed it answered on, its capability flags, and how long it takes to answer beyond\n"
     "its bytes' time on the line (above 5 ms: how to lower the adapter's latency timer).\n"},
    {"info",
     "usage: t6tool info FILE\n"
     "Prints the file's size, whether it is a recognised tune file, its calibration bank\n"
     "order, and its metadata record as the file info box and the device tune info box\n"
     "would show it. Needs no device.\n"},
    {"metadata",
     "usage: t6tool metadata [POS] [--port PORT] [--log]\n"
     "Reads the metadata record of every position (or of POS) from the device and prints\n"
     "each as the device tune info box shows it.\n"},
    {"backup",
     "usage: t6tool backup POS|all OUT [--port PORT] [--log]\n"
     "Reads position POS (256 KB) or the whole device (4 MB) into the file OUT.\n"},
    {"restore",
     "usage: t6tool restore POS|all IN [--port PORT] [--log] [--yes]\n"
     "Writes IN (256 KB for a position, 4 MB for all) back exactly as it is, without a new\n"
     "metadata stamp: erases, writes in 256-byte frames, then verifies in the device.\n"},
    {"erase",
     "usage: t6tool erase POS|all [--port PORT] [--log] [--yes]\n"
     "Erases position POS (its four 64 KB sectors) or the whole device.\n"},
    {"write",
     "usage: t6tool write POS FILE | write all LAYOUT [--port PORT] [--log] [--yes]\n"
     "Writes the tune file FILE into position POS as the program's Write Selection does:\n"
     "recognises it by its size and arranges it into the 256 KB image, stamps the metadata\n"
     "record (FILE as given, size, bank order, time), erases the position and writes the\n"
     "image, printing the program's status lines. With all, writes every position that\n"
     "has a file in the .t6layout file LAYOUT, as Write All does. A whole 256 KB image has\n"
     "no known bank order: the program asks \"Upload anyway?\"; --yes answers Yes, and\n"
     "without a terminal and without --yes it is not written. Exit status 1 when any\n"
     "position failed.\n"},
    {"verify",
     "usage: t6tool verify POS FILE | verify all LAYOUT [--port PORT] [--log]\n"
     "Compares position POS with the tune file FILE as the program's Verify Selection does:\n"
     "the four calibration bank bodies (banks 0, 1, 8 and 9) are compared inside the device,\n"
     "one bank after the other until one differs; the first 8 KB of each 64 KB quarter,\n"
     "which holds the metadata record, is not compared. With all, compares every position\n"
     "that has a file in the .t6layout file LAYOUT. Exit status 1 when any position\n"
     "differs: the status line of the bank that differs ends in FAIL.\n"},
    {"select",
     "usage: t6tool select POS|off [--port PORT] [--log]\n"
     "Makes the device present position POS to the engine and switches the chip on, or\n"
     "switches the chip off.\n"},
};

} // namespace

const char* CommandHelp(const std::string& command)
{
    for (const CommandText& c : kCommands)
        if (command == c.name)
            return c.help;
    return nullptr;
}

bool ParseCliOptions(int argc, char** argv, CliOptions* out, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out->help = true;
        } else if (arg == "--version") {
            out->version = true;
        } else if (arg == "--log") {
            out->log = true;
        } else if (arg == "--yes" || arg == "-y") {
            out->yes = true;
        } else if (arg == "--port") {
            if (i + 1 >= argc) {
                *error = "--port needs a port";
                return false;
            }
            out->port = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else if (out->command.empty()) {
            out->command = arg;
        } else {
            out->args.push_back(arg);
        }
    }
    return true;
}

int ParsePosition(const std::string& text)
{
    if (text.size() == 1 && isxdigit(static_cast<unsigned char>(text[0])))
        return int(strtol(text.c_str(), nullptr, 16));
    if (text.size() == 2 && text[0] == '1' && text[1] >= '0' && text[1] <= '5')
        return 10 + (text[1] - '0');
    return -1;
}
