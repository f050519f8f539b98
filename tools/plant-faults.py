#!/usr/bin/env python3
"""Plants small faults in a scratch copy of the product, one at a time, and counts which ones the
test suite catches.

Every fault in FAULTS (tools/faults.txt) names a file, a snippet that must stand in it exactly once
and the snippet's faulty form. For each suite (a revision's tests/ and fuzz/, or the working
tree's) the product of one revision is copied into a scratch folder with that suite's tests,
built once (Debug, -O0, no benchmarks, ccache when there is one) and checked green; then each
fault is planted, built incrementally and tested: first the fault's own test program, then
everything ctest runs. A failing test, a crash or a hang counts as caught; a fault that does not
build counts for neither suite. Tests run in a network namespace of their own, so that other runs'
receiver simulators cannot take their loopback addresses (root, or unshare for users, is needed).

  tools/plant-faults.py --tests before=HEAD --tests after=WORKTREE
  tools/plant-faults.py --product HEAD --tests now=WORKTREE --only db01,lk03

Writes WORK/<suite>.tsv (fault, subsystem, result, first failing tests) and prints a table of
the faults caught per subsystem and suite.
"""
import argparse
import collections
import os
import re
import shutil
import subprocess
import sys
import tarfile
import io

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OWN_PROGRAM = {'src/db': 'db_tests', 'src/link': 'link_tests', 'src/freqlist': 'freqlist_tests',
               'src/enigma': 'enigma_tests', 'src/ui': 'ui_tests', 'tools/kdattool': 'db_tests',
               'tools/stb-sim': 'link_tests'}
FAULT_RE = re.compile(r'^## (\S+) (\S+): ([^\n]*)\n<<<\n(.*?)\n===\n(.*?)\n>>>$', re.S | re.M)


def read_faults(path, only):
    faults = [dict(id=m[1], file=m[2], what=m[3], old=m[4] + '\n', new=m[5] + '\n')
              for m in FAULT_RE.finditer(open(path, encoding='utf-8').read())]
    return [f for f in faults if not only or f['id'] in only]


def subsystem(path):
    return path.split('/')[1]


def extract(rev, paths, dest):
    data = subprocess.run(['git', '-C', REPO, 'archive', rev, *paths], check=True,
                          capture_output=True).stdout
    tarfile.open(fileobj=io.BytesIO(data)).extractall(dest)


def prepare(work, name, product, tests):
    tree = os.path.join(work, name)
    shutil.rmtree(tree, ignore_errors=True)
    os.makedirs(tree)
    extract(product, ['.'], tree)
    for sub in ('tests', 'fuzz'):
        shutil.rmtree(os.path.join(tree, sub))
        if tests == 'WORKTREE':
            shutil.copytree(os.path.join(REPO, sub), os.path.join(tree, sub))
        else:
            extract(tests, [sub], tree)
    build = os.path.join(tree, 'build')
    cmd = ['cmake', '-S', tree, '-B', build, '-G', 'Ninja', '-DCMAKE_BUILD_TYPE=Debug',
           '-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g0', '-DTOVU_BUILD_BENCH=OFF']
    if shutil.which('ccache'):
        cmd.append('-DCMAKE_CXX_COMPILER_LAUNCHER=ccache')
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    return tree, build


def in_namespace(command):
    return ['unshare', '-n', 'sh', '-c', 'ip link set lo up && exec "$@"', 'sh', *command]


def failing_tests(output):
    found = re.findall(r'\[  FAILED  \] (\S+)', output) + re.findall(r'\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)', output)
    return list(dict.fromkeys(found))[:3]


def run_tests(build, program=None):
    """Returns (caught, first failing tests): the own program first (if any), then all of ctest."""
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen',
               XDG_DATA_HOME=os.path.join(build, 'test-data-home'))
    exe = program and os.path.join(build, 'bin', program)
    if exe and not os.path.exists(exe):
        exe = next((os.path.join(d, program) for d, _, files in os.walk(build) if program in files), None)
    steps = []
    if exe:
        steps.append((in_namespace([exe, '--gtest_brief=1']), os.path.dirname(exe)))
    steps.append((in_namespace(['ctest', '--timeout', '60', '-j2', '--stop-on-failure']), build))
    for command, cwd in steps:
        try:
            done = subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True,
                                  errors='replace', timeout=600)
        except subprocess.TimeoutExpired:
            return True, ['(hang)']
        if done.returncode != 0:
            return True, failing_tests(done.stdout + done.stderr) or ['exit %d' % done.returncode]
    return False, []


def build_ok(build):
    return subprocess.run(['cmake', '--build', build], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def run_suite(work, name, product, tests, faults):
    tree, build = prepare(work, name, product, tests)
    if not build_ok(build):
        sys.exit(f'{name}: the unchanged code does not build')
    caught, failed = run_tests(build)
    if caught:
        sys.exit(f'{name}: the unchanged code fails its tests: {failed}')
    results = {}
    with open(os.path.join(work, name + '.tsv'), 'w') as tsv:
        for fault in faults:
            path = os.path.join(tree, fault['file'])
            text = open(path, encoding='utf-8').read()
            if text.count(fault['old']) != 1:
                result, tests_failed = 'unplaced', []
            else:
                open(path, 'w', encoding='utf-8').write(text.replace(fault['old'], fault['new']))
                if not build_ok(build):
                    result, tests_failed = 'nobuild', []
                else:
                    hit, tests_failed = run_tests(build, OWN_PROGRAM[os.path.dirname(fault['file'])])
                    result = 'caught' if hit else 'missed'
                open(path, 'w', encoding='utf-8').write(text)
            results[fault['id']] = result
            line = '\t'.join([fault['id'], subsystem(fault['file']), result, ' '.join(tests_failed)])
            print(f'{name}: {line}', flush=True)
            tsv.write(line + '\n')
    build_ok(build)
    return results


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--faults', default=os.path.join(REPO, 'tools', 'faults.txt'))
    parser.add_argument('--product', default='HEAD', help='revision whose product code is used')
    parser.add_argument('--tests', action='append', required=True, metavar='NAME=REV',
                        help='a suite: the tests and fuzz folders of REV, or WORKTREE')
    parser.add_argument('--only', default='', help='comma-separated fault ids')
    parser.add_argument('--work', default='/tmp/plant-faults')
    args = parser.parse_args()
    faults = read_faults(args.faults, set(filter(None, args.only.split(','))))
    os.makedirs(args.work, exist_ok=True)
    suites = [s.split('=', 1) for s in args.tests]
    scores = {name: run_suite(args.work, name, args.product, rev, faults) for name, rev in suites}

    table = collections.OrderedDict()
    for fault in faults:
        row = table.setdefault(subsystem(fault['file']), collections.Counter())
        row['faults'] += 1
        for name, _ in suites:
            row[name] += scores[name][fault['id']] == 'caught'
    names = [name for name, _ in suites]
    print('\n| subsystem | faults | ' + ' | '.join('caught by ' + n for n in names) + ' |')
    print('|---|---|' + '---|' * len(names))
    total = collections.Counter()
    for sub, row in table.items():
        total.update(row)
        print(f'| {sub} | {row["faults"]} | ' + ' | '.join(str(row[n]) for n in names) + ' |')
    print(f'| total | {total["faults"]} | ' + ' | '.join(str(total[n]) for n in names) + ' |')
    for fault in faults:
        marks = [scores[n][fault['id']] for n in names]
        if len(set(marks)) > 1 or 'caught' not in marks:
            print(f'{fault["id"]}: ' + ', '.join(f'{n} {m}' for n, m in zip(names, marks)) + f'  ({fault["what"]})')


if __name__ == '__main__':
    main()
