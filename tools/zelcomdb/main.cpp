// zelcomdb: look at, check and build ZelComFuncDbase database directories.
//
//   zelcomdb models [DIR] [--json]
//   zelcomdb cpuValues DIR MODEL OS [--json]
//   zelcomdb dump DIR (MODEL OS | --all) [--json]
//   zelcomdb check DIR
//   zelcomdb build DESCRIPTION.json OUTDIR
//
// Errors are one line on stderr and exit status 2; `check` exits with 1 when
// it has findings.
#include <ZelComFuncDbaseVersion.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "build.h"
#include "check.h"
#include "cpu_values_command.h"
#include "dump.h"
#include "dump_text.h"
#include "models.h"
#include "tool_error.h"

namespace {

using zel::tool::Json;

void printJson(const Json& doc) { std::cout << doc.dump(2) << '\n'; }

struct Options {
    std::string dir;
    std::string description;
    std::string outDir;
    int model = -1;
    int osNumber = -1;
    bool json = false;
    bool all = false;
};

int runModels(const Options& o) {
    const Json doc = zel::tool::modelsJson(o.dir);
    if (o.json)
        printJson(doc);
    else
        zel::tool::printModels(doc, std::cout);
    return 0;
}

int runSpec(const Options& o) {
    const Json doc = zel::tool::specJson(o.dir, zel::tool::requirePair(o.model, o.osNumber));
    if (o.json)
        printJson(doc);
    else
        zel::tool::printSpec(doc, std::cout);
    return 0;
}

int runDump(const Options& o) {
    std::vector<zel::tool::ModelOsPair> pairs;
    if (o.all) {
        if (o.model >= 0 || o.osNumber >= 0)
            throw zel::tool::ToolError("dump --all takes no MODEL and OS");
        pairs = zel::tool::presentPairs(o.dir);
        if (pairs.empty()) throw zel::tool::ToolError(o.dir + ": no database file found");
    } else {
        if (o.model < 0 || o.osNumber < 0)
            throw zel::tool::ToolError("dump needs MODEL and OS, or --all");
        zel::tool::DatabaseDir listing(o.dir);  // a missing directory is an error
        pairs.push_back(zel::tool::requirePair(o.model, o.osNumber));
    }
    const Json doc = zel::tool::dumpDocument(o.dir, pairs);
    if (o.json)
        printJson(doc);
    else
        zel::tool::printDump(doc, std::cout);
    return 0;
}

int runCheck(const Options& o) {
    const auto findings = zel::tool::checkDirectory(o.dir);
    for (const auto& f : findings) std::cout << zel::tool::findingLine(f) << '\n';
    return findings.empty() ? 0 : zel::tool::kExitFindings;
}

int runBuild(const Options& o) {
    const auto names = zel::tool::buildDatabase(o.description, o.outDir);
    std::cout << "wrote " << names.size() << " files to " << o.outDir << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Look at, check and build ZelComFuncDbase database directories."};
    app.name("zelcomdb");
    app.require_subcommand(1);
    app.set_version_flag("--version", "zelcomdb (ZelComFuncDbase) " ZELCOMFUNCDBASE_VERSION_STRING);
    Options o;

    CLI::App* models = app.add_subcommand(
        "models", "The model table and the database file names of every model and OS number");
    models->add_option("DIR", o.dir, "Database directory: show which files are present");
    models->add_flag("--json", o.json, "Print JSON");

    CLI::App* cpuValues =
        app.add_subcommand("spec", "The six CPU specification values of a model and OS number");
    cpuValues->add_option("DIR", o.dir, "Database directory")->required();
    cpuValues->add_option("MODEL", o.model, "Model index, 0..47")->required();
    cpuValues->add_option("OS", o.osNumber, "OS number, 1..7")->required();
    cpuValues->add_flag("--json", o.json, "Print JSON");

    CLI::App* dump =
        app.add_subcommand("dump", "Everything the library answers for a model and OS number");
    dump->add_option("DIR", o.dir, "Database directory")->required();
    dump->add_option("MODEL", o.model, "Model index, 0..47");
    dump->add_option("OS", o.osNumber, "OS number, 1..7");
    dump->add_flag("--all", o.all, "Every model/OS pair with a database file in DIR");
    dump->add_flag("--json", o.json, "Print JSON in the schema that `build` reads");

    CLI::App* check = app.add_subcommand(
        "check", "Check the structure of every database file in a directory (exit 1 on findings)");
    check->add_option("DIR", o.dir, "Database directory")->required();

    CLI::App* build = app.add_subcommand(
        "build", "Write OSDB and JQWDB files from a JSON description (the schema of dump --json)");
    build->add_option("DESCRIPTION", o.description, "JSON description")->required();
    build->add_option("OUTDIR", o.outDir, "Directory for the database files")->required();

    // CLI11 would only say that a subcommand is required.
    if (argc > 1 && argv[1][0] != '-') {
        bool known = false;
        for (const CLI::App* sub : app.get_subcommands({}))
            known = known || sub->get_name() == argv[1];
        if (!known) {
            std::cerr << "zelcomdb: unknown subcommand " << argv[1]
                      << " (models, cpuValues, dump, check or build)\n";
            return zel::tool::kExitError;
        }
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
        std::cerr << "zelcomdb: " << e.what() << " (see zelcomdb --help)\n";
        return zel::tool::kExitError;
    }

    try {
        if (*models) return runModels(o);
        if (*cpuValues) return runSpec(o);
        if (*dump) return runDump(o);
        if (*check) return runCheck(o);
        return runBuild(o);
    } catch (const std::exception& e) {
        std::cerr << "zelcomdb: " << e.what() << '\n';
        return zel::tool::kExitError;
    }
}
