"""Programs that put every operator, operand shape and value kind through
the evaluators: each pair of values (a, b) gets one program that uses them
as parameters and as globals, as variables and as literals, alone and in
pairs of operators, in conditions, in compound assignments, indexing,
builtin calls and matches. Run on both evaluators, they must print the same.
"""

from pathlib import Path

# (name, expression giving the value, literal text or None)
VALUES = [
    ("zero", "0", "0"),
    ("one", "1", "1"),
    ("minus_one", "-1", None),
    ("three", "3", "3"),
    ("seven", "7", "7"),
    ("max", "9223372036854775807", "9223372036854775807"),
    ("min", "-9223372036854775807 - 1", None),
    ("half", "2.5", "2.5"),
    ("float_zero", "0.0", "0.0"),
    ("minus_zero", "-0.0", None),
    ("nan", "0.0 / 0.0", None),
    ("huge", "1.0e308 * 10.0", None),
    ("text", '"ab"', '"ab"'),
    ("empty", '""', '""'),
    ("accented", '"\u00e9t\u00e9"', '"\u00e9t\u00e9"'),
    ("null", "null", None),
    ("true", "true", "true"),
    ("false", "false", "false"),
    ("array", "[1, 2.5, \"x\"]", None),
    ("dict", '{k: 1, v: "w", n: {k: [2, 3]}}', None),
]

BINARY = ["+", "-", "*", "/", "%", "**", "==", "!=", "<", ">", "<=", ">=",
          "and", "or"]
ARITHMETIC = ["+", "-", "*", "/", "%"]
COMPARISONS = ["==", "!=", "<", ">", "<=", ">="]
COMPOUND = ["+=", "-=", "*=", "/="]
BUILTINS_ONE = ["typeof", "is_number", "is_string", "is_array", "is_dict", "len",
                "upper", "abs", "sqrt", "floor", "ceil", "round", "reverse"]
BUILTINS_TWO = ["min", "max", "contains", "concat", "pow", "split", "push"]


def body(a, b, a_lit, b_lit):
    """Statements over the names a and b; a_lit and b_lit are the literals
    the values can be written as (or None)."""
    lines = []
    out = lines.append
    for op in BINARY:
        out("print(a %s b)" % op)
        out("print(a %s a)" % op)
        if b_lit:
            out("print(a %s %s)" % (op, b_lit))
        if a_lit:
            out("print(%s %s b)" % (a_lit, op))
        out("print(a %s 3)" % op)
        out("print(a %s -1)" % op)
    for inner in ARITHMETIC:
        for outer in BINARY:
            out("print(a %s b %s 3)" % (inner, outer))
            out("print(a %s 3 %s b)" % (inner, outer))
            out("print(b %s (a %s b))" % (outer, inner))
            out("print((a %s 2) %s (b %s 3))" % (inner, outer, inner))
    for op in COMPARISONS:
        out('if a %s b { print("y") } else { print("n") }' % op)
        out('if a %s 3 { print("y") } else { print("n") }' % op)
        out('if a %% 2 %s 0 { print("y") } else { print("n") }' % op)
        out('while a %s b { print("w") break }' % op)
        out('if a %s b and b %s a { print("y") } else { print("n") }' % (op, op))
    out('if a or b { print("y") } else { print("n") }')
    out('if not a { print("y") } else { print("n") }')
    out('if is_number(a) { print("y") } else { print("n") }')
    out("print(-a)")
    out("print(not a)")
    for op in COMPOUND:
        out("let x = a")
        out("x %s b" % op)
        out("print(x)")
        out("x %s 1" % op)
        out("print(x)")
        out("x = x %s b" % op[0])
        out("print(x)")
    out("let s = a")
    out("s = s + b")
    out("s = s + b")
    out("print(s)")
    out("print(a[b])")
    out("print(a[0])")
    out("print(a[-1])")
    out('print(a["k"])')
    out("print(a.k)")
    out("print([a, b][1])")
    out("print([a, b][0][b])")
    out('print({"p": a, "q": b}.q)')
    # chains of reads into a variable
    out("let nest = {k: a, n: {k: b, n: {k: [a, b]}}}")
    out("print(nest.n.k)")
    out("print(nest.n.n.k[1])")
    out("print(nest.n.n.k[b])")
    out("print(nest.n.x.k)")
    out("let m = [[a, b], [b, [a]]]")
    out("print(m[1][0])")
    out("print(m[1][1][0])")
    out("print(m[b][0])")
    out("print(m[0][b])")
    out("print(m[a][a])")
    out("print(a.k.k)")
    out("print(a.n.k[1])")
    out("print(a[0][0])")
    out("print(a[b][a])")
    out('print({"p": a, "p": b}.p)')
    for name in BUILTINS_ONE:
        out("print(%s(a))" % name)
    for name in BUILTINS_TWO:
        out("print(%s(a, b))" % name)
    out("print(slice(a, 0, 1))")
    # updates through the library, in place where nothing else holds x
    out("let zs = [a, b, a]")
    out("let keep = zs")
    out("zs = set(zs, 0, b)")
    out("zs = set(zs, -1, 7)")
    out("zs = set(zs, b, a)")
    out("zs = insert(zs, 1, a)")
    out("zs = remove(zs, 0)")
    out("print(zs)")
    out("print(keep)")
    out("let dd = {k: a}")
    out("dd = set(dd, \"k\", b)")
    out("dd = set(dd, \"n\", a)")
    out("dd = remove(dd, \"k\")")
    out("dd = set(dd, b, 1)")
    out("print(dd)")
    out("let ys = [a, b]")
    out("ys = push(ys, a)")
    out("print(ys)")
    out("for e in [a, b] { print(e) }")
    arms = ['0 => { print("zero") }', '3 => { print("three") }',
            '"ab" => { print("ab") }', '2.5 => { print("half") }',
            'true => { print("true") }', '"" => { print("empty") }']
    out("match a { %s _ => { print(\"other\") } }" % " ".join(arms))
    out("match b { %s b => { print(\"itself\") } }" % " ".join(arms))
    return lines


def program(first, second):
    (a_name, a_expr, a_lit), (b_name, b_expr, b_lit) = first, second
    statements = body("a", "b", a_lit, b_lit)
    text = ["# a = %s, b = %s" % (a_name, b_name), "def f(a, b) {"]
    text += ["  " + s for s in statements]
    text += ["}", "f(%s, %s)" % (a_expr, b_expr)]
    text += ["let a = %s" % a_expr, "let b = %s" % b_expr]
    text += statements
    return "\n".join(text) + "\n"


def write_programs(folder):
    """Writes one program per pair of values; returns their paths."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    paths = []
    for first in VALUES:
        for second in VALUES:
            path = folder / ("grid_%s_%s.tvk" % (first[0], second[0]))
            path.write_text(program(first, second), encoding="utf-8")
            paths.append(path)
    return paths
