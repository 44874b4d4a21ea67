#!/usr/bin/env python3
"""Groups the sources of each target into batches for a unity build.

A unity build compiles a batch of sources as one file, so names each source keeps to itself
(an unnamed namespace, `static`, a file's own classes and helpers) meet the other sources of the
batch. Reads lines "<target> <source>" and prints "<batch> <source>" for every source that goes
into a batch of at most <size> sources whose names do not meet; the others are compiled alone:
a source that defines a macro or opens a namespace for the rest of the file, and one whose own
names a header it includes declares too. A header that another source of a batch includes is
seen by every source after it, so a source's own names must also not meet the names of the
project's headers the others include. The names are found by the project's layout (declarations
start at the left margin); a clash this misses fails the build with a redefinition or a
shadowing warning, and the source is then kept out by its SKIP_UNITY_BUILD_INCLUSION property.
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


USING = re.compile(r"^using\s+[\w:]+::(\w+)\s*;", re.M)


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


INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


class Headers:
    """The project's headers: the names each declares and the project headers each includes."""

    def __init__(self, root):
        self.folders = [root / "src", root / "tests", root / "tools" / "lib", root / "tools"]
        self.names = {}
        self.includes = {}

    def resolve(self, including, name):
        for folder in [including.parent] + self.folders:
            candidate = folder / name
            if candidate.is_file():
                return candidate.resolve()
        return None

    def read(self, header):
        if header not in self.names:
            text = header.read_text(errors="replace")
            self.names[header] = declared_names(text.split("\n"))
            self.includes[header] = self.included_by(header, text)
        return self.names[header]

    def included_by(self, path, text):
        found = (self.resolve(path, name) for name in INCLUDE.findall(text))
        return [header for header in found if header is not None]

    def names_seen_by(self, path, text):
        """The names declared by every project header the text includes, directly or not."""
        names = set()
        pending = self.included_by(path, text)
        visited = set()
        while pending:
            header = pending.pop()
            if header in visited:
                continue
            visited.add(header)
            names |= self.read(header)
            pending.extend(self.includes[header])
        return names


class Source:
    def __init__(self, path, names, inner, taken, seen):
        self.path = path
        self.names = names
        self.inner = inner
        self.taken = taken
        self.seen = seen


class Batch:
    """Sources compiled together, with the names they define, declare inside their functions and
    classes, and take from other namespaces (which any number of them may take alike)."""

    def __init__(self):
        self.sources = []
        self.names = set()
        self.inner = set()
        self.taken = set()

    def takes(self, source, size):
        if len(self.sources) >= size:
            return False
        if source.names & (self.names | self.inner | self.taken) or (source.inner | source.taken) & self.names:
            return False
        # A header one source includes is seen by the others: none of them may define its names.
        return not any(source.names & (other.seen - source.seen) or other.names & (source.seen - other.seen)
                       for other in self.sources)

    def add(self, source):
        self.sources.append(source)
        self.names |= source.names
        self.inner |= source.inner
        self.taken |= source.taken


def main():
    root = pathlib.Path(sys.argv[1])
    size = int(sys.argv[2])
    headers = Headers(root)
    batches = {}
    for entry in sys.stdin.read().split("\n"):
        if not entry.strip():
            continue
        target, path = entry.split(" ", 1)
        path = pathlib.Path(path)
        text = path.read_text(errors="replace")
        seen = headers.names_seen_by(path, text)
        names = own_names(text, seen)
        if names is None or names & seen:
            continue
        source = Source(str(path), names, inner_names(text), set(USING.findall(text)), seen)
        target_batches = batches.setdefault(target, [])
        batch = next((batch for batch in target_batches if batch.takes(source, size)), None)
        if batch is None:
            batch = Batch()
            target_batches.append(batch)
        batch.add(source)
    for target, target_batches in batches.items():
        for number, batch in enumerate(target_batches):
            if len(batch.sources) > 1:
                for source in batch.sources:
                    print(f"{target}_{number} {source.path}")


main()
