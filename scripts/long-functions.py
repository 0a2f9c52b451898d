#!/usr/bin/env python3
"""Lists the functions of the game's own code that run long.

Usage: scripts/long-functions.py [--min N] [FOLDER_OR_FILE ...]
       scripts/long-functions.py --self-test

Reads every .cpp and .h under the folders given (by default the rules, the screen and the
libraries: game, mbwnd, mbkormap, mb3dmap, mbbmp, mbmisc, platform, tools/rymdcli) and prints one
line per function whose body, from its opening brace to its closing brace, runs to N lines or
more (default 120), longest first:

    366  game/ai/cpu_senryaku.cpp:812  CCpuSenryaku::CommitToShiro

It finds a function by matching braces at the level of namespaces and classes, after taking out
comments, string and character literals and preprocessor lines; a lambda or a local class counts
as part of the function that holds it. tests/architecture/function_length_test.cpp keeps the same
bound on the tree. Exits with 1 when a function reaches the bound. --self-test checks the brace
matching on small sources made for it.
"""
import argparse
import os
import re
import sys

DEFAULT_FOLDERS = ["game", "mbwnd", "mbkormap", "mb3dmap", "mbbmp", "mbmisc", "platform",
                   "tools/rymdcli"]
CONTAINER = re.compile(r'\b(namespace|class|struct|union|enum)\b|\bextern\s*"C"')
QUALIFIERS = re.compile(
    r'^(\s|const\b|noexcept\b(\s*\([^)]*\))?|override\b|final\b|mutable\b|volatile\b|&|'
    r'->\s*[\w:<>,\s*&]+|requires\b[^{]*)*$')


def strip_code(text):
    """Blanks comments, literals and preprocessor lines, keeping every newline in place."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c in " \t":
            out.append(c)
            i += 1
            continue
        if line_start and c == "#":
            # A preprocessor line, with its continuations.
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out.append("\n")
                    i += 2
                    continue
                i += 1
            continue
        line_start = False
        if c == "\n":
            out.append(c)
            line_start = True
            i += 1
        elif text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append("\n" * text.count("\n", i, end))
            i = end
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not text[i - 1].isalnum()):
            open_paren = text.find("(", i + 2)
            delim = text[i + 2:open_paren]
            end = text.find(")" + delim + '"', open_paren)
            end = n if end < 0 else end + len(delim) + 2
            out.append('""' + "\n" * text.count("\n", i, end))
            i = end
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum():  # a digit separator: 1'000
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def function_name(header):
    """The qualified name before the parameter list of a function's header."""
    depth = 0
    for k, ch in enumerate(header):
        if ch == "(":
            if depth == 0:
                m = re.search(r'([\w:~<>]+(?:\s*operator\s*[^\s(]+)?)\s*$', header[:k])
                if m:
                    return m.group(1).strip()
            depth += 1
        elif ch == ")":
            depth -= 1
    return header.strip().split("\n")[0][:60]


def drop_templates(flat):
    """Takes out the parameter lists of template heads: template <class T> ..."""
    while True:
        m = re.search(r'\btemplate\s*<', flat)
        if not m:
            return flat
        depth, k = 0, m.end() - 1
        while k < len(flat):
            depth += {"<": 1, ">": -1}.get(flat[k], 0)
            if depth == 0:
                break
            k += 1
        flat = flat[:m.start()] + flat[k + 1:]


def is_function_header(header):
    flat = drop_templates(" ".join(header.split()))
    if "(" not in flat or CONTAINER.search(flat):
        return False
    if re.search(r'(^|[^=!<>+\-*/%&|^])=($|[^=])', flat.split("(", 1)[0]):
        return False  # an initialiser: int x = ...
    if re.match(r'^(if|for|while|switch|catch|do|else)\b', flat):
        return False
    # In a constructor's list of initialisers, a member's brace is not the body.
    if re.search(r'\)\s*:', flat) and re.search(r'[\w>]\s*$', flat) and \
            not re.search(r'\b(const|override|final|noexcept)\s*$', flat):
        return False
    tail = flat[flat.rfind(")") + 1:]
    return bool(QUALIFIERS.match(tail)) or bool(re.search(r'\)\s*:', flat))


def functions(text):
    """Yields (first line, body lines, name) for every function of a source text."""
    code = strip_code(text)
    stack = []  # for each open brace: 'container', 'function' or 'other'
    header = []
    header_line = 1
    line = 1
    fn_start = None
    fn_name = None
    for ch in code:
        if ch == "\n":
            line += 1
        in_function = any(k == "function" for k in stack)
        if in_function:
            if ch == "{":
                stack.append("other")
            elif ch == "}":
                kind = stack.pop()
                if kind == "function":
                    yield fn_start, line - fn_start + 1, fn_name
                    header = []
            continue
        if ch == "{":
            text_before = "".join(header)
            flat = drop_templates(" ".join(text_before.split()))
            if CONTAINER.search(flat) and "(" not in flat:
                stack.append("container")
                header = []
            elif is_function_header(text_before):
                stack.append("function")
                fn_start = line
                fn_name = function_name(text_before)
            else:
                stack.append("other")
                header.append(ch)
        elif ch == "}":
            kind = stack.pop() if stack else "container"
            if kind == "other":
                header.append(ch)
            else:
                header = []
        elif ch == ";":
            if not stack or stack[-1] != "other":
                header = []
            else:
                header.append(ch)
        elif ch == ":" and re.search(r'\b(public|private|protected)\s*$', "".join(header)):
            header = []
        else:
            if not header and ch.isspace():
                continue
            if not header:
                header_line = line
            header.append(ch)
    del header_line


def source_files(paths):
    for path in paths:
        if os.path.isfile(path):
            yield path
            continue
        for root, dirs, files in os.walk(path):
            dirs.sort()
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    yield os.path.join(root, name)


def self_test():
    """Checks the finder on sources whose functions and lengths are known; 0 when all agree."""
    body = "".join(f"    x += {i};\n" for i in range(5))
    cases = [
        ("a free function", "int F(int x) {\n" + body + "    return x;\n}\n", [("F", 8)]),
        ("a template head naming class",
         "template <class Io, class GS>\nvoid T(Io& io, GS& gs) {\n" + body + "}\n", [("T", 7)]),
        ("members in a class and a namespace",
         "namespace n {\nclass C {\npublic:\n    int A() const { return 1; }\n    void B() {\n" + body +
         "    }\n};\n}  // namespace n\n", [("A", 1), ("B", 7)]),
        ("braces in comments, strings and characters",
         "void S() {\n    // }\n    /* { */\n    const char* t = \"}\";\n    char c = '{';\n}\n", [("S", 6)]),
        ("a constructor with braced initialisers",
         "C::C(int a) : a_{a}, b_(2) {\n" + body + "}\n", [("C::C", 7)]),
        ("a table and an enum are no functions",
         "const int kT[] = {1, 2};\nenum class E { kA, kB };\nstruct P { int x; };\nvoid G() {\n}\n",
         [("G", 2)]),
        ("a lambda and a local class count with their function",
         "void H() {\n    auto f = [](int v) {\n        return v;\n    };\n    struct L {\n        int y;\n"
         "    };\n}\n", [("H", 8)]),
    ]
    failed = 0
    for title, text, expected in cases:
        found = [(name, length) for _, length, name in functions(text)]
        if found != expected:
            print(f"self-test: {title}: found {found}, expected {expected}")
            failed += 1
    print(f"self-test: {len(cases) - failed} of {len(cases)} cases agree")
    return 1 if failed else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--min", type=int, default=120, help="least body length listed")
    parser.add_argument("--self-test", action="store_true", help="check the brace matching and stop")
    parser.add_argument("paths", nargs="*", help="folders or files (default: the game's own)")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    found = []
    for path in source_files(args.paths or DEFAULT_FOLDERS):
        with open(path, encoding="utf-8", errors="replace") as f:
            for start, length, name in functions(f.read()):
                if length >= args.min:
                    found.append((length, path, start, name))
    for length, path, start, name in sorted(found, key=lambda x: (-x[0], x[1], x[2])):
        print(f"{length:5d}  {path}:{start}  {name}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
