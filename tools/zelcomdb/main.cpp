// zelcomdb: look at, check, compare and build ZelComFuncDbase database
// directories. `zelcomdb --help` lists the subcommands and, once for all of
// them, the exit statuses (tool_error.h).
#include <ZelComFuncDbaseVersion.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "build.h"
#include "check.h"
#include "checked_output.h"
#include "cpu_values_command.h"
#include "diff.h"
#include "dump.h"
#include "dump_text.h"
#include "help_formatter.h"
#include "models.h"
#include "output_file.h"
#include "printable.h"
#include "report.h"
#include "schema_check.h"
#include "tool_error.h"

namespace {

using zel::tool::Json;
namespace tool = zel::tool;

constexpr const char* kExitStatuses =
    "Exit status: 0 clean, no difference, every value asked for delivered; 1 findings "
    "(check), differences (diff), or a result code other than 0 where a value was asked "
    "for (spec, dump); 2 a usage error or a failure of the tool itself.";

void printJson(const Json& doc) { std::cout << doc.dump(2) << '\n'; }

struct Options {
    std::string dir;
    std::string dirB;
    std::string description;
    std::string outDir;
    std::string helpTopic;
    std::string output;
    int model = -1;
    int osNumber = -1;
    int item = 0;
    bool json = false;
    bool all = false;
    bool force = false;
    bool stat = false;
    bool nameOnly = false;
    bool quiet = false;
    int modelFilter = -1;  // diff --model, --os
    int osFilter = -1;
    tool::DumpSelection selection;
};

int runModels(CLI::App&, const Options& o) {
    const Json doc = tool::modelsJson(o.dir);
    if (o.json)
        printJson(doc);
    else
        tool::printModels(doc, std::cout);
    return tool::kExitClean;
}

int runSpec(CLI::App&, const Options& o) {
    const Json doc = tool::specJson(o.dir, tool::requirePair(o.model, o.osNumber));
    if (o.json)
        printJson(doc);
    else
        tool::printSpec(doc, std::cout);
    return tool::isResult(doc) ? tool::kExitFindings : tool::kExitClean;
}

// The pairs named on the command line: MODEL OS, or --all (every pair with
// a file in the directory).
std::vector<tool::ModelOsPair> chosenPairs(const Options& o, const std::string& dir) {
    if (o.all && (o.model >= 0 || o.osNumber >= 0))
        throw tool::ToolError("dump --all takes no MODEL and OS");
    if (!o.all && (o.model >= 0) != (o.osNumber >= 0))
        throw tool::ToolError("dump needs MODEL and OS, or --all");
    if (o.model >= 0) {
        tool::DatabaseDir listing(dir);  // must be a directory
        return {tool::requirePair(o.model, o.osNumber)};
    }
    const auto pairs = tool::presentPairs(dir);
    if (pairs.empty())
        std::cerr << "zelcomdb: " << tool::oneLine(dir) << ": no database file found\n";
    return pairs;
}

int runDump(CLI::App&, const Options& o) {
    if (!o.all && o.model < 0) throw tool::ToolError("dump needs MODEL and OS, or --all");
    const auto pairs = chosenPairs(o, o.dir);
    const Json doc = tool::dumpDocument(o.dir, pairs, o.selection);
    if (o.json)
        printJson(doc);
    else
        tool::printDump(doc, std::cout);
    return pairs.empty() || tool::dumpHasFailures(doc, o.selection) ? tool::kExitFindings
                                                                    : tool::kExitClean;
}

int runDiff(CLI::App&, const Options& o) {
    if (o.all && (o.model >= 0 || o.modelFilter >= 0 || o.osFilter >= 0))
        throw tool::ToolError("diff --all takes no MODEL and OS, --model or --os");
    if ((o.model >= 0) != (o.osNumber >= 0))
        throw tool::ToolError("diff needs MODEL and OS together, or --model and --os");
    if (o.model >= 0 && (o.modelFilter >= 0 || o.osFilter >= 0))
        throw tool::ToolError("diff takes MODEL and OS or --model and --os, not both");
    if (o.json + o.stat + o.nameOnly + o.quiet > 1)
        throw tool::ToolError("diff takes one of --json, --stat, --name-only and -q");
    tool::DiffFilter filter;
    filter.selection = o.selection;
    if (o.model >= 0) {
        tool::requirePair(o.model, o.osNumber);
        filter.model = o.model;
        filter.osNumber = o.osNumber;
    }
    if (o.modelFilter >= 0) filter.model = o.modelFilter;
    if (o.osFilter >= 0) filter.osNumber = o.osFilter;
    const tool::DirectoryDiff diff = tool::diffDirectories(o.dir, o.dirB, filter);
    if (o.json)
        printJson(tool::diffDocument(diff));
    else if (o.stat)
        tool::printDiffStat(diff, std::cout);
    else if (o.nameOnly)
        tool::printDiffNames(diff, std::cout);
    else if (!o.quiet)
        tool::printDiff(diff, std::cout);
    return diff.files.empty() ? tool::kExitClean : tool::kExitFindings;
}

int runCheck(CLI::App&, const Options& o) {
    const auto report = tool::checkDirectory(o.dir);
    if (o.json)
        printJson(tool::checkJson(report));
    else
        tool::printCheck(report, std::cout);
    return report.findings.empty() ? tool::kExitClean : tool::kExitFindings;
}

int runReport(CLI::App&, const Options& o) {
    tool::writeOutputFile(o.output, tool::reportHtml(tool::reportDocument(o.dir, o.dirB)));
    if (o.output != "-") std::cout << "wrote " << tool::escapedText(o.output) << '\n';
    return tool::kExitClean;
}

int runSchema(CLI::App&, const Options&) {
    const std::string_view schema = tool::descriptionSchemaText();
    std::cout.write(schema.data(), static_cast<std::streamsize>(schema.size()));
    return tool::kExitClean;
}

int runBuild(CLI::App&, const Options& o) {
    const auto names = tool::buildDatabase(o.description, o.outDir, o.force);
    std::cout << "wrote " << names.size() << " files to " << tool::escapedText(o.outDir) << '\n';
    return tool::kExitClean;
}

// The names of the subcommands, as the parser knows them.
std::string subcommandNames(CLI::App& app) {
    std::string names;
    for (const CLI::App* sub : app.get_subcommands({}))
        names += (names.empty() ? "" : ", ") + sub->get_name();
    return names;
}

CLI::App* subcommandNamed(CLI::App& app, const std::string& name) {
    for (CLI::App* sub : app.get_subcommands({}))
        if (sub->get_name() == name) return sub;
    return nullptr;
}

int runHelp(CLI::App& app, const Options& o) {
    if (o.helpTopic.empty()) {
        // app.help() would show the usage of `help` itself, the subcommand
        // selected.
        std::cout << app.get_formatter()->make_help(&app, app.get_name(),
                                                    CLI::AppFormatMode::Normal);
        return tool::kExitClean;
    }
    CLI::App* sub = subcommandNamed(app, o.helpTopic);
    if (!sub)
        throw tool::ToolError("no subcommand " + o.helpTopic + " (" + subcommandNames(app) + ")");
    std::cout << sub->help(app.get_name());
    return tool::kExitClean;
}

// The options that several subcommands take.
void addDir(CLI::App& sub, std::string& dir, const char* name = "DIR",
            const char* text = "Database directory") {
    sub.add_option(name, dir, text)->required();
}
void addPair(CLI::App& sub, Options& o, bool required) {
    sub.add_option("MODEL", o.model, "Model index, 0..47")->required(required);
    sub.add_option("OS", o.osNumber, "OS number, 1..7")->required(required);
}
// The words of a --help text that a value is one of, as the completion
// script reads them.
std::string joinedKeys(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& key : keys) text += (text.empty() ? "" : ", ") + key;
    return text;
}

// --table and --item, which dump and diff take alike.
void addSelection(CLI::App& sub, Options& o, const std::string& itemNote = "") {
    // The keys in the description, where the completion script finds them
    // too, rather than in the option's column.
    sub.add_option("--table", o.selection.tables,
                   "Only this table (repeatable); KEY is one of " + joinedKeys(tool::tableKeys()))
        ->option_text("KEY ...")
        ->check(CLI::IsMember(tool::tableKeys()));
    sub.add_option("--item", o.item,
                   "Only this OSDB item number, memory kind or JQWDB record "
                   "index, -32768..32767" +
                       itemNote)
        ->option_text("N")
        ->check(CLI::Range(-32768, 32767));
}

void addJson(CLI::App& sub, Options& o, const char* text = "Print JSON") {
    sub.add_flag("--json", o.json, text);
}

// A subcommand: its name and description, the options it declares and what
// it runs.
struct Subcommand {
    const char* name;
    const char* description;
    void (*declare)(CLI::App& sub, Options& o);
    int (*run)(CLI::App& app, const Options& o);
};

const Subcommand kSubcommands[] = {
    {"models", "The model table and the database file names of every model and OS number",
     [](CLI::App& sub, Options& o) {
         sub.add_option("DIR", o.dir, "Database directory: show which files are present");
         addJson(sub, o);
     },
     runModels},
    {"spec",
     "The six CPU specification values of a model and OS number (exit 1 when the library "
     "gives a result code instead)",
     [](CLI::App& sub, Options& o) {
         addDir(sub, o.dir);
         addPair(sub, o, true);
         addJson(sub, o);
     },
     runSpec},
    {"dump",
     "Everything the library answers for a model and OS number (exit 1 when a file error "
     "stands where a value was asked for)",
     [](CLI::App& sub, Options& o) {
         addDir(sub, o.dir);
         addPair(sub, o, false);
         sub.add_flag("--all", o.all, "Every model/OS pair with a database file in DIR");
         addSelection(sub, o, " (exit 1 when it gives a result code)");
         addJson(sub, o, "Print JSON in the schema that `build` reads");
     },
     runDump},
    {"diff",
     "Compare two database directories file by file: added, removed, renamed and changed "
     "files, the answers that differ and bytes no reader reaches (exit 1 when they differ)",
     [](CLI::App& sub, Options& o) {
         addDir(sub, o.dir, "DIR_A", "The old database directory");
         addDir(sub, o.dirB, "DIR_B", "The new database directory");
         addPair(sub, o, false);
         sub.add_flag("--all", o.all,
                      "Every pair with a database file in either directory (the default)");
         sub.add_option("--model", o.modelFilter, "Only the files of this model index, 0..47")
             ->option_text("M")
             ->check(CLI::Range(0, 47));
         sub.add_option("--os", o.osFilter, "Only the files of this OS number, 1..7")
             ->option_text("N")
             ->check(CLI::Range(1, 7));
         addSelection(sub, o);
         addJson(sub, o, "Print the diff as one JSON document");
         sub.add_flag("--stat", o.stat, "A line per file with its counts, then the summary");
         sub.add_flag("--name-only", o.nameOnly, "The names of the files only");
         sub.add_flag("-q,--quiet", o.quiet, "No output: the exit status only");
     },
     runDiff},
    {"check", "Check the structure of every database file in a directory (exit 1 on findings)",
     [](CLI::App& sub, Options& o) {
         addDir(sub, o.dir);
         addJson(sub, o, "Print the findings as one JSON document");
     },
     runCheck},
    {"report",
     "Review a delivery in one self-contained HTML page: the summary, the check of DIR_B, the "
     "differences by file with old and new values side by side, and each changed file's layout "
     "with its changed bytes",
     [](CLI::App& sub, Options& o) {
         addDir(sub, o.dir, "DIR_A", "The old database directory");
         addDir(sub, o.dirB, "DIR_B", "The new database directory");
         sub.add_option("-o,--output", o.output,
                        "The HTML file to write (replaced whole, only once it is complete), - "
                        "for standard output")
             ->option_text("FILE")
             ->required();
     },
     runReport},
    {"build",
     "Write OSDB and JQWDB files from a JSON description (the schema of dump --json) into a "
     "new directory, all or nothing",
     [](CLI::App& sub, Options& o) {
         addDir(sub, o.description, "DESCRIPTION", "JSON description, - for standard input");
         addDir(sub, o.outDir, "OUTDIR", "Directory for the database files");
         sub.add_flag("--force", o.force, "Replace OUTDIR when it is not empty");
     },
     runBuild},
    {"schema",
     "Print the JSON Schema (draft 2020-12) of the description that build reads and dump "
     "--json writes",
     [](CLI::App&, Options&) {}, runSchema},
    {"help", "Show the usage of zelcomdb or of a subcommand",
     [](CLI::App& sub, Options& o) { sub.add_option("SUBCOMMAND", o.helpTopic, "The subcommand"); },
     runHelp},
};

int run(int argc, char** argv) {
    CLI::App app{"Look at, check, compare and build ZelComFuncDbase database directories."};
    app.name("zelcomdb");
    // Options are written --name everywhere: on Windows an argument such as
    // /srv/db is a path, not an option. Set before the subcommands, which
    // take it over.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    app.formatter(std::make_shared<tool::HelpFormatter>());
    app.set_version_flag("--version", "zelcomdb (ZelComFuncDbase) " ZELCOMFUNCDBASE_VERSION_STRING);
    Options o;

    std::vector<std::pair<CLI::App*, const Subcommand*>> subcommands;
    for (const Subcommand& c : kSubcommands) {
        CLI::App* sub = app.add_subcommand(c.name, c.description);
        c.declare(*sub, o);
        subcommands.push_back({sub, &c});
    }
    app.footer(kExitStatuses);

    // CLI11 would only say that a subcommand is required.
    if (argc > 1 && argv[1][0] != '-' && !subcommandNamed(app, argv[1])) {
        std::cerr << "zelcomdb: unknown subcommand " << tool::printable(argv[1]) << " ("
                  << subcommandNames(app) << "; see zelcomdb --help)\n";
        return tool::kExitError;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "zelcomdb: " << tool::oneLine(e.what()) << " (see zelcomdb --help)\n";
        return tool::kExitError;
    }

    try {
        for (const auto& [sub, c] : subcommands) {
            if (!*sub) continue;
            const CLI::Option* item = sub->get_option_no_throw("--item");
            if (item && item->count() > 0) o.selection.item = o.item;
            return c->run(app, o);
        }
        return tool::kExitError;  // require_subcommand(1) leaves none unchosen
    } catch (const tool::DescriptionRefused& e) {
        for (const std::string& line : e.lines())
            std::cerr << "zelcomdb: " << tool::oneLine(line) << '\n';
        return tool::kExitError;
    } catch (const std::exception& e) {
        std::cerr << "zelcomdb: " << tool::oneLine(e.what()) << '\n';
        return tool::kExitError;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Every subcommand writes through std::cout; output that could not be
    // written (a full disk, /dev/full) ends the tool with an error.
    tool::CheckedOutput output;
    std::streambuf* const standard = std::cout.rdbuf(&output);
    int status = run(argc, argv);
    std::cout.flush();
    const std::string failure = output.finish();
    std::cout.rdbuf(standard);
    if (!failure.empty()) {
        std::cerr << "zelcomdb: cannot write output: " << failure << '\n';
        status = tool::kExitError;
    }
    return status;
}
