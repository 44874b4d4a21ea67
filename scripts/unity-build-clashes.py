#!/usr/bin/env python3
"""Lists the sources that must stay out of a unity build.

A unity build compiles a batch of sources as one file, so names each source keeps to itself
(an unnamed namespace, `static`, a macro, a `using namespace`) meet the other sources of the
batch. Reads lines "<target> <source>" and prints every source that would clash with another
source of its target or with a name the headers declare: one that defines a macro or opens a
namespace for the whole file, or whose own names another source of its target uses already.
The first source to use a name keeps its place in the batches. The names are found by the
project's layout (declarations start at the left margin); a clash this misses fails the build
with a redefinition, and the source is then kept out by its SKIP_UNITY_BUILD_INCLUSION property.
"""
import pathlib
import re
import sys

DECLARATION = re.compile(
    r"^(?:template\s*<.*>\s*)?"
    r"(?:(?:static|inline|constexpr|constinit|const|thread_local|extern|unsigned|signed|volatile)\s+)*"
    r"(?:struct|class|enum(?:\s+class)?|union|using)?\s*"
    r"[\w:<>,\s*&\[\]]*?\b(\w+)\s*(?:\(|=|\{|\[|;|:(?!:))")
TYPE = re.compile(r"^(?:struct|class|enum(?:\s+class)?|union)\s+(\w+)")
NOT_A_NAME = {"TEST", "TEST_F", "TEST_P", "TYPED_TEST", "INSTANTIATE_TEST_SUITE_P", "namespace", "return",
              "operator", "static_assert"}


def declared_names(lines):
    names = set()
    for line in lines:
        if not line or line[0] in " \t}#/":
            continue
        match = TYPE.match(line) or DECLARATION.match(line)
        # A member defined outside its class (Class::Name) is no name of the file's own.
        if match and not line[:match.start(1)].endswith("::") and match.group(1) not in NOT_A_NAME:
            names.add(match.group(1))
    return names


INNER = re.compile(r"^\s+(?:(?:struct|class|enum(?:\s+class)?|union)\s+(\w+)\s*[{:;]|using\s+(\w+)\s*="
                   r"|(?:static\s+)?(?:constexpr|const)\s+[\w:<>, ]+?\s(\w+)\s*[=({\[])", re.M)


def inner_names(text):
    """The types and constants a source declares inside its functions and classes, which a name of
    another source in its batch would shadow."""
    return {name for match in INNER.finditer(text) for name in match.groups() if name}


def own_names(text, header_names):
    """The names a source declares for itself, or None when it changes what the sources after it
    see. A name at namespace scope that a header declares is the definition of the header's; any
    other is the source's own, whether kept in an unnamed namespace, `static` or not."""
    if re.search(r"^\s*#\s*define\b|^using namespace\b", text, re.M):
        return None
    kept = []
    shared = []
    unnamed = False
    for line in text.split("\n"):
        if re.match(r"^namespace\s*\{", line):
            unnamed = True
        elif unnamed and re.match(r"^\}\s*(//.*)?$", line):
            unnamed = False
        elif unnamed or re.match(r"^(?:static|constexpr|const)\b", line):
            kept.append(line)
        else:
            shared.append(line)
    return declared_names(kept) | (declared_names(shared) - header_names)


def main():
    root = pathlib.Path(sys.argv[1])
    header_names = set()
    for folder in ("src", "tests", "tools"):
        for header in (root / folder).glob("**/*.h"):
            header_names |= declared_names(header.read_text(errors="replace").split("\n"))
    taken = {}
    for entry in sys.stdin.read().split("\n"):
        if not entry.strip():
            continue
        target, source = entry.split(" ", 1)
        text = pathlib.Path(source).read_text(errors="replace")
        names = own_names(text, header_names)
        inner = inner_names(text)
        outer_taken, inner_taken = taken.setdefault(target, (set(), set()))
        if names is None or names & (outer_taken | inner_taken | header_names) or inner & outer_taken:
            print(source)
        else:
            outer_taken |= names
            inner_taken |= inner


main()
