// The compiler's Structured Text reading over any source: lexer, parser and the name check
// against a small project with globals, a function block and a child program.
#include "FuzzInput.h"

#include "Lexer.h"
#include "NameCheck.h"
#include "Parser.h"

namespace {

const k5cmp::ProjectModel &project()
{
    static const k5cmp::ProjectModel model = [] {
        k5cmp::ProjectModel p;
        p.name = "Plant";
        p.globals.add({"Life", "INT", 0, 0, 0, {}});
        p.globals.add({"Levels", "REAL", 8, 0, 0, {}});
        p.globals.add({"Pulse", "TON", 0, 0, 0, {}});
        p.retains.add({"Hours", "DINT", 0, 0, 0, {}});
        p.defines.insert("max_ports");
        k5cmp::Program block;
        block.name = "Port";
        block.section = k5cmp::kSectionBlock;
        block.locals.add({"P", "INT", 0, 0, k5cmp::kVarInput, {}});
        block.locals.add({"Q", "BOOL", 0, 0, k5cmp::kVarOutput, {}});
        p.addProgram(block);
        k5cmp::Program child;
        child.name = "Scan";
        child.section = k5cmp::kSectionChild;
        p.addProgram(child);
        k5cmp::Program main;
        main.name = "Main";
        main.locals.add({"Step", "INT", 0, 0, 0, {}});
        main.locals.add({"P1", "Port", 0, 0, 0, {}});
        main.locals.add({"Name", "STRING", 0, 20, 0, {}});
        p.addProgram(main);
        return p;
    }();
    return model;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view source(reinterpret_cast<const char *>(data), size);
    k5cmp::tokenize(source);
    const k5cmp::ParseResult parsed = k5cmp::parseProgram(source);
    if (!parsed.syntaxError)
        k5cmp::checkNames(project(), *project().findProgram("Main"), parsed.uses);
    return 0;
}
