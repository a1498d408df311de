#!/usr/bin/python3
"""Mutation check: do the tests notice when the product code is broken?

Makes single changes ("mutants") to calc/, ui/ (C++ sources and headers) and the
Designer forms ui/*.ui with fixed mutation operators, picks a deterministic
sample of them per file, and for each one rebuilds only the targets of the
tests that exercise that file, runs those tests and restores the file byte for
byte. A mutant is killed (a test failed or timed out), survived, or did not
compile (counted apart).

    nice -n 10 tools/mutation/mutate.py --report build/mutation/report.md
    tools/mutation/mutate.py --list [--only ui/form1.cpp]
    tools/mutation/mutate.py --resume --report R.md   # reuse recorded outcomes

Which tests: calc/ -> the tests defined in tests/calc/; ui/ -> the tests defined
in tests/ui/ and every test whose command runs the program. The build folder
(build/mutation) is configured like the ci preset, without -Werror and without
benchmarks. Mutants listed in tools/mutation/equivalent.txt (file | operator |
original line | mutated line | reason) are reported apart and left out of the
kill rate. Outcomes are appended to build/mutation/mutation-results.jsonl (a run
without --resume starts it anew).
"""
import argparse
import hashlib
import json
import math
import os
import re
import signal
import subprocess
import sys
import time
from collections import Counter, defaultdict
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / 'build' / 'mutation'
RESULTS = BUILD / 'mutation-results.jsonl'
BACKUP = BUILD / 'mutation-backup'
EQUIVALENT = Path(__file__).with_name('equivalent.txt')
CAP_FACTOR, CAP_MIN, CAP_MAX = 2.2, 4, 32  # per-file sample: FACTOR * sqrt(candidates)


@dataclass
class Mutant:
    file: str          # relative to the repository
    line: int          # 1-based first line replaced
    span: int          # number of lines replaced
    op: str
    new: list          # replacement lines (with their line ends)
    orig_text: str     # the line, after where it stands in a form ("Text4 palette/disabled: ")
    new_text: str
    context: str = ''

    @property
    def key(self):
        return f'{self.file}|{self.op}|{self.orig_text}|{self.new_text}'

    @property
    def plain(self):  # the change alone, for the sample: a form's context does not move it
        return f'{self.file}|{self.op}|{self.orig_text[len(self.context):]}|{self.new_text}'

    def rank(self, occurrence=0):  # stable across runs and line moves; repeats spread apart
        return hashlib.sha1(f'{self.plain}#{occurrence}'.encode()).hexdigest()


# --- C++ operators ------------------------------------------------------------------
LITERAL = re.compile(r"(?:u8|[uUL])?\"(?:[^\"\\]|\\.)*\"|(?:u8|[uUL])?'(?:[^'\\]|\\.)+'")
SWAPS = {
    'relational': {'<': '<=', '<=': '<', '>': '>=', '>=': '>', '==': '!=', '!=': '=='},
    'arithmetic': {'+': '-', '-': '+', '*': '/', '/': '*'},
    'logical': {'&&': '||', '||': '&&'},
}
BINARY = re.compile(r'(?<=\s)(<=|>=|==|!=|&&|\|\||[<>+\-*/])(?=\s)')
NUMBER = re.compile(r"(?<![\w.'])(\d[\d']*(?:\.\d*)?(?:[eE][+-]?\d+)?)([uUlLfF]*)(?![\w.'])")
LHS = r"\**(?:\+\+|--)?[A-Za-z_]\w*(?:(?:\.|->|::)~?[A-Za-z_]\w*|\[[^\]]*\])*(?:\+\+|--)?"
STATEMENT = re.compile(rf"^\s*(?:{LHS}\s*\(.*\)|{LHS}\s*[-+*/|&]?=[^=].*|(?:\+\+|--)\S.*|throw\b.*)\s*;$")
RETURN = re.compile(r'^(\s*)return\s+(.+);$')


def code_of(line, in_block):
    """The line without comments, and whether a block comment is still open."""
    out, i = [], 0
    while i < len(line):
        if in_block:
            end = line.find('*/', i)
            if end < 0:
                return ''.join(out), True
            i, in_block = end + 2, False
            continue
        m = LITERAL.match(line, i)
        if m and not (i and (line[i - 1].isalnum() or line[i - 1] == '_')):
            out.append(m.group())
            i = m.end()
        elif line.startswith('//', i):
            break
        elif line.startswith('/*', i):
            in_block, i = True, i + 2
        else:
            out.append(line[i])
            i += 1
    return ''.join(out), in_block


def bump_float(text):
    mantissa = re.split(r'[eE]', text)[0]
    last = max(i for i, c in enumerate(mantissa) if c.isdigit())
    return mantissa[:last] + str((int(mantissa[last]) + 1) % 10) + text[last + 1:]


def alter_char(lit):
    prefix, body = lit[:lit.index("'")], lit[lit.index("'") + 1:-1]
    if re.fullmatch(r'\\u[0-9A-Fa-f]{4}', body):
        return f"{prefix}'\\u{int(body[2:], 16) + 1:04X}'"
    if len(body) == 1 and body not in "\\'":
        nxt = chr(ord(body) + 1)
        return f"{prefix}'{nxt if nxt not in chr(39) + chr(92) else chr(92) + nxt}'"
    return None


def alter_string(lit):
    prefix, body = lit[:lit.index('"')], lit[lit.index('"') + 1:-1]
    if not body:
        return f'{prefix}"x"'
    if body.endswith('\\') or re.search(r'\\.$', body):
        return None
    return f'{prefix}"{body[:-1]}"'


def cpp_mutants(rel, lines):
    in_block = False
    for n, raw in enumerate(lines, 1):
        code, in_block = code_of(raw.rstrip('\n'), in_block)
        stripped = code.strip()
        if not stripped or stripped.startswith('#'):
            continue
        eol = raw[len(raw.rstrip('\r\n')):]
        literal_spans = [m.span() for m in LITERAL.finditer(code)]

        def outside(pos):
            return not any(a <= pos < b for a, b in literal_spans)

        def make(op, start, end, text):
            new = code[:start] + text + code[end:]
            return Mutant(rel, n, 1, op, [new.rstrip() + eol], stripped, new.strip())

        for m in BINARY.finditer(code):
            if outside(m.start()):
                for op, table in SWAPS.items():
                    if m.group(1) in table:
                        yield make(op, m.start(1), m.end(1), table[m.group(1)])
        for m in re.finditer(r'!(?!=)', code):
            if outside(m.start()):
                yield make('negation-removed', m.start(), m.end(), '')
        for m in NUMBER.finditer(code):
            if outside(m.start()):
                text = m.group(1)
                if re.search(r'[.eE]', text):
                    yield make('float-literal', m.start(1), m.end(1), bump_float(text))
                else:
                    value = int(text.replace("'", ''))
                    yield make('integer-literal', m.start(1), m.end(1), str({0: 1, 1: 0}.get(value, value + 1)))
        for m in re.finditer(r'\b(true|false)\b', code):
            if outside(m.start()):
                yield make('boolean', m.start(), m.end(), 'false' if m.group() == 'true' else 'true')
        for a, b in literal_spans:
            lit = code[a:b]
            changed = alter_char(lit) if lit.endswith("'") else alter_string(lit)
            if changed:
                yield make('char-literal' if lit.endswith("'") else 'string-literal', a, b, changed)
        if STATEMENT.match(code.rstrip()) and code.count('(') == code.count(')'):
            indent = code[:len(code) - len(code.lstrip())]
            yield Mutant(rel, n, 1, 'statement-deleted', [indent + ';' + eol], stripped, ';')
        m = RETURN.match(code.rstrip())
        if m and not re.fullmatch(r'0|0\.0|false|true|std::nullopt|.*\{\}', m.group(2)):
            yield Mutant(rel, n, 1, 'return-value', [m.group(1) + 'return {};' + eol], stripped, 'return {};')


# --- Designer form operators ----------------------------------------------------------
def ui_mutants(rel, lines):
    widgets, prop, group = [], '', ''

    def one(n, op, new_line, span=1, new_text=None):
        where = f'{widgets[-1] if widgets else "tabstops"} {prop}{"/" + group if group else ""}'.strip() + ': '
        return Mutant(rel, n, span, op, [new_line] if isinstance(new_line, str) else new_line,
                      where + lines[n - 1].strip(), new_text or new_line.strip(), where)

    for n, line in enumerate(lines, 1):  # where the line stands: widget, property, colour group
        if m := re.search(r'<widget class="[\w:]+" name="(\w+)"', line):
            widgets.append(m.group(1))
        elif '</widget>' in line:
            widgets.pop()
        elif m := re.search(r'<(active|inactive|disabled)>', line):
            group = m.group(1)
        elif m := re.search(r'<property name="(\w+)"', line):
            prop, group = '', ''
            yield one(n, 'ui-property-removed', [], new_text='(property removed)',
                      span=next(i for i in range(n, len(lines)) if lines[i].startswith(
                          line[:len(line) - len(line.lstrip())] + '</property>')) - n + 2)
            prop = m.group(1)
        if m := re.search(r'<(x|y|width|height)>(-?\d+)</', line):
            for delta in (+1, -1):
                yield one(n, 'ui-geometry', line[:m.start(2)] + str(int(m.group(2)) + delta) + line[m.end(2):])
        elif m := re.search(r'<(\w+)>(\d+)</\1>', line):
            value = int(m.group(2))
            yield one(n, 'ui-number', line[:m.start(2)] + str(value - 1 if value else 1) + line[m.end(2):])
        elif m := re.search(r'<(\w+)>(true|false)</\1>', line):
            yield one(n, 'ui-boolean', line[:m.start(2)] + ('false' if m.group(2) == 'true' else 'true') + line[m.end(2):])
        elif (m := re.search(r'<(string|pixmap|family)>(.+)</\1>', line)) and not m.group(2).endswith(';'):
            yield one(n, 'ui-string', line[:m.end(2) - 1] + line[m.end(2):])
        if '</property>' in line:
            prop, group = '', ''
        if '<tabstop>' in line:
            yield one(n, 'ui-tabstop-dropped', [], new_text='(tabstop removed)')
            if n < len(lines) and '<tabstop>' in lines[n]:
                yield one(n, 'ui-tabstop-swapped', [lines[n], line], span=2,
                          new_text=f'swapped with {lines[n].strip()}')


def generate(only=None):
    files = sorted(p for d in ('calc', 'ui') for p in (ROOT / d).iterdir()
                   if p.suffix in ('.cpp', '.h', '.ui'))
    chosen, counts = [], {}
    for path in files:
        rel = str(path.relative_to(ROOT))
        if only and rel != only:
            continue
        lines = path.read_text(encoding='utf-8').splitlines(keepends=True)
        found = list((ui_mutants if path.suffix == '.ui' else cpp_mutants)(rel, lines))
        cap = min(len(found), max(CAP_MIN, min(CAP_MAX, math.ceil(CAP_FACTOR * math.sqrt(len(found))))))
        seen, ranks = Counter(), {}
        for m in found:
            ranks[id(m)] = m.rank(seen[m.plain])
            seen[m.plain] += 1
        by_op = defaultdict(list)
        for m in sorted(found, key=lambda m: ranks[id(m)]):
            by_op[m.op].append(m)
        picked = []
        while len(picked) < cap:  # one of each operator in turn, so each is represented
            for op in sorted(by_op):
                if by_op[op] and len(picked) < cap:
                    picked.append(by_op[op].pop(0))
        picked.sort(key=lambda m: (m.line, m.op, m.new_text))
        counts[rel] = (len(found), Counter(m.op for m in picked))
        chosen += picked
    return chosen, counts


# --- running ---------------------------------------------------------------------------
def sh(cmd, timeout=None, log=None):
    """Runs cmd in its own process group; returns (status or 'timeout', seconds, output)."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            text=True, errors='replace', start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=timeout)
        status = proc.returncode
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        status = 'timeout'
    except BaseException:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
        raise
    return status, time.monotonic() - start, out


def preset_variables(name, presets):
    """The cache variables of a configure preset, inherited ones included."""
    preset, variables = presets[name], {}
    parents = preset.get('inherits', [])
    for parent in reversed([parents] if isinstance(parents, str) else parents):
        variables.update(preset_variables(parent, presets))
    for key, value in preset.get('cacheVariables', {}).items():
        variables[key] = value['value'] if isinstance(value, dict) else value
    return variables


def prepare():
    """Configures and builds the mutation folder; returns the tests for calc/ and ui/."""
    # Configured on every run, so that a change to the ci preset (a flag, a
    # check) reaches the mutants too.
    presets = json.loads((ROOT / 'CMakePresets.json').read_text())['configurePresets']
    variables = preset_variables('ci', {p['name']: p for p in presets})
    # A mutant that only warns must still build; benchmarks are not tests.
    variables['CMAKE_CXX_FLAGS'] = variables.get('CMAKE_CXX_FLAGS', '').replace('-Werror', '').strip()
    variables.update(CMAKE_COMPILE_WARNING_AS_ERROR='OFF', FEROLUNE_BUILD_BENCH='OFF')
    status, _, out = sh(['cmake', '-S', '.', '-B', str(BUILD), '-G', 'Ninja']
                        + [f'-D{key}={value}' for key, value in variables.items()])
    if status != 0:
        sys.exit(out)
    status, _, out = sh(['cmake', '--build', str(BUILD)])
    if status != 0:
        sys.exit('the unchanged code does not build:\n' + out)
    status, _, out = sh(['ctest', '--test-dir', str(BUILD), '--show-only=json-v1'])
    info = json.loads(out)
    graph = info['backtraceGraph']
    groups = {'calc': [], 'ui': []}
    for test in info['tests']:
        where = Path(graph['files'][graph['nodes'][test['backtrace']]['file']]).parent
        command = test.get('command') or []
        targets = [Path(a).name for a in command if a.startswith(str(BUILD)) and os.access(a, os.X_OK)
                   and Path(a).is_file()]
        if where == ROOT / 'tests' / 'calc':
            groups['calc'].append((test['name'], targets))
        elif where == ROOT / 'tests' / 'ui' or any(a == str(BUILD / 'app' / 'ferolune') for a in command):
            groups['ui'].append((test['name'], targets))
    return groups


def run_tests(tests, baseline):
    """(first test that failed or None, notes on tests that passed only slowly)."""
    slow = []
    for name, _ in tests:
        # Generous: a test that passes only after a safety timer fired must not count as killed.
        status, seconds, _ = sh(['ctest', '--test-dir', str(BUILD), '-R', f'^{name}$'],
                                timeout=max(120.0, 4 * baseline[name]))
        if status != 0:
            return (f'{name} (timeout)' if status == 'timeout' else name), slow
        if seconds > 3 * baseline[name] + 5:
            slow.append(f'{name} passed in {seconds:.0f} s')
    return None, slow


def apply(mutant):
    path = ROOT / mutant.file
    original = path.read_bytes()
    backup = BACKUP / mutant.file
    backup.parent.mkdir(parents=True, exist_ok=True)
    backup.write_bytes(original)
    lines = original.decode('utf-8').splitlines(keepends=True)
    lines[mutant.line - 1:mutant.line - 1 + mutant.span] = mutant.new
    path.write_text(''.join(lines), encoding='utf-8', newline='')
    return original


def restore_leftovers():
    """Puts back any file a killed earlier run left mutated."""
    for backup in BACKUP.rglob('*') if BACKUP.exists() else []:
        if backup.is_file():
            (ROOT / backup.relative_to(BACKUP)).write_bytes(backup.read_bytes())
            backup.unlink()
            print(f'restored {backup.relative_to(BACKUP)} left by an interrupted run', flush=True)


def run(mutants, resume):
    done = {}
    if resume and RESULTS.exists():
        for line in RESULTS.read_text().splitlines():
            record = json.loads(line)
            done[(record['key'], record['line'])] = record
    elif RESULTS.exists():
        RESULTS.unlink()
    groups = prepare()
    baseline = {}
    for group, tests in groups.items():
        print(f'baseline {group}: ' + ', '.join(t for t, _ in tests), flush=True)
        for name, _ in tests:
            status, seconds, out = sh(['ctest', '--test-dir', str(BUILD), '-R', f'^{name}$', '--output-on-failure'])
            if status != 0:
                sys.exit(f'{name} fails on the unchanged code:\n{out}')
            baseline[name] = seconds
            print(f'  {name}: {seconds:.1f} s', flush=True)
        tests.sort(key=lambda t: baseline[t[0]])  # cheapest first: most mutants die early
    results = []
    for i, mutant in enumerate(mutants, 1):
        if (mutant.key, mutant.line) in done:
            results.append(done[(mutant.key, mutant.line)])
            continue
        tests = groups['calc' if mutant.file.startswith('calc/') else 'ui']
        targets = sorted({t for _, ts in tests for t in ts})
        start = time.monotonic()
        original = apply(mutant)
        try:
            status, _, out = sh(['cmake', '--build', str(BUILD), '--target', *targets], timeout=900)
            if status != 0:
                error = next((l for l in out.splitlines() if 'error' in l), str(status))
                outcome, detail = 'did not compile', error.strip()[:200]
            else:
                failed, slow = run_tests(tests, baseline)
                outcome, detail = ('killed', failed) if failed else ('survived', '; '.join(slow))
        finally:
            (ROOT / mutant.file).write_bytes(original)
            (BACKUP / mutant.file).unlink()
        record = dict(key=mutant.key, line=mutant.line, file=mutant.file, op=mutant.op,
                      orig=mutant.orig_text, new=mutant.new_text, outcome=outcome, detail=detail,
                      seconds=round(time.monotonic() - start, 1))
        with RESULTS.open('a') as f:
            f.write(json.dumps(record, ensure_ascii=False) + '\n')
        results.append(record)
        print(f'[{i}/{len(mutants)}] {outcome:15} {mutant.file}:{mutant.line} {mutant.op}: '
              f'{mutant.orig_text}  ->  {mutant.new_text}  [{detail}] ({record["seconds"]:.0f} s)', flush=True)
    return results


# --- report ----------------------------------------------------------------------------
def equivalence_reason(record, entries):
    # "file:line" names one place where the same change elsewhere in the file
    # would matter.
    for place in (record['file'], f"{record['file']}:{record['line']}"):
        prefix = ' | '.join((place, record['op'], record['orig'], record['new'], ''))
        reason = next((e[len(prefix):].strip() for e in entries if e.startswith(prefix)), None)
        if reason is not None:
            return reason
    return None


def report(results):
    entries = EQUIVALENT.read_text(encoding='utf-8').splitlines() if EQUIVALENT.exists() else []
    rows = defaultdict(Counter)
    for r in results:
        r['reason'] = equivalence_reason(r, entries)
        kind = 'equivalent' if r['reason'] is not None and r['outcome'] == 'survived' else r['outcome']
        rows[r['file']][kind] += 1
        rows[r['file']]['generated'] += 1
    total = sum(rows.values(), Counter())
    out = [f'# Mutation check', '',
           f'{len(results)} mutants; rebuilding and testing them took {sum(r["seconds"] for r in results) / 60:.0f} min. '
           'Kill rate = killed / (killed + survived), '
           f'mutants listed in {EQUIVALENT.name} and those that did not compile left out.', '',
           '| File | Generated | Did not compile | Killed | Survived | Equivalent | Kill rate |',
           '|---|---:|---:|---:|---:|---:|---:|']
    for name, c in sorted(rows.items()) + [('**all**', total)]:
        live = c['killed'] + c['survived']
        rate = f'{100 * c["killed"] / live:.0f} %' if live else '-'
        out.append(f'| {name} | {c["generated"]} | {c["did not compile"]} | {c["killed"]} | '
                   f'{c["survived"]} | {c["equivalent"]} | {rate} |')
    sections = [('Survivors (changes no test notices)', lambda r: r['outcome'] == 'survived' and r['reason'] is None),
                ('Equivalent (cannot alter behaviour)', lambda r: r['outcome'] == 'survived' and r['reason'] is not None),
                ('Listed as equivalent but killed (a test restates the code, or the entry is wrong)',
                 lambda r: r['outcome'] == 'killed' and r['reason'] is not None),
                ('Did not compile', lambda r: r['outcome'] == 'did not compile')]
    for title, keep in sections:
        chosen = [r for r in results if keep(r)]
        if chosen:
            out += ['', f'## {title}', '']
            out += [f'- `{r["file"]}:{r["line"]}` {r["op"]}: `{r["orig"]}` → `{r["new"]}`'
                    + (f' ({r["detail"]})' if r['detail'] and r['outcome'] != 'killed' else '')
                    + (f' — {r["reason"]}' if r['reason'] else '') for r in chosen]
    survivors = [r for r in results if r['outcome'] == 'survived' and r['reason'] is None]
    if survivors:
        out += ['', f'Lines for {EQUIVALENT.name}, for the survivors that cannot alter behaviour '
                '(append the reason):', '', '```']
        out += [' | '.join((r['file'], r['op'], r['orig'], r['new'], '')) for r in survivors] + ['```']
    out += ['', '## Killed, by the first test that failed', '']
    out += [f'- {name}: {n}' for name, n in Counter(r['detail'] for r in results if r['outcome'] == 'killed').most_common()]
    return '\n'.join(out) + '\n'


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--list', action='store_true', help='print the mutants without running them')
    parser.add_argument('--only', metavar='FILE', help='only mutants of this file (e.g. calc/timing.cpp)')
    parser.add_argument('--report', metavar='PATH', help='write a Markdown report here')
    parser.add_argument('--resume', action='store_true', help='keep outcomes already recorded')
    args = parser.parse_args()
    mutants, counts = generate(args.only)
    for rel, (found, ops) in counts.items():
        print(f'{rel}: {sum(ops.values())} of {found} candidates: '
              + ', '.join(f'{op} {n}' for op, n in sorted(ops.items())))
    print(f'{len(mutants)} mutants; by operator: '
          + ', '.join(f'{op} {n}' for op, n in sorted(Counter(m.op for m in mutants).items())), flush=True)
    if args.list:
        for m in mutants:
            print(f'{m.file}:{m.line} {m.op}: {m.orig_text}  ->  {m.new_text}')
        return
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # so the finally blocks restore files
    BACKUP.mkdir(parents=True, exist_ok=True)
    restore_leftovers()
    results = run(mutants, args.resume)
    text = report(results)
    if args.report:
        Path(args.report).write_text(text, encoding='utf-8')
    print(text)


if __name__ == '__main__':
    main()
