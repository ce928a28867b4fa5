"""The shipped exercises through tarvorun --exercise: every reference solution
passes, every wrong one fails; the reports parse; bad exercise files are
refused with where and why.

    python3 check_exercises.py TARVORUN EXERCISES_DIR WORK_DIR
"""
import json
import pathlib
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

tarvorun, exercises, work = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
work.mkdir(parents=True, exist_ok=True)
failures = []


def grade(exercise, submission, *extra):
    run = subprocess.run([tarvorun, "--exercise", str(exercise), str(submission), *extra],
                         capture_output=True, text=True, timeout=120)
    return run.returncode, run.stdout, run.stderr


def expect(condition, what):
    if not condition:
        failures.append(what)


folders = sorted(p for p in exercises.iterdir() if (p / "exercise.json").is_file())
expect(len(folders) >= 8, f"8 or more exercises, found {len(folders)}")
for folder in folders:
    exercise = folder / "exercise.json"
    code, out, err = grade(exercise, folder / "solution.asm")
    expect(code == 0 and out.endswith(" 0 failed\n"), f"{folder.name}: the solution passes ({code}: {out}{err})")
    wrongs = sorted(folder.glob("wrong-*.asm"))
    expect(len(wrongs) >= 1, f"{folder.name}: a wrong solution")
    for wrong in wrongs:
        code, out, err = grade(exercise, wrong)
        expect(code == 1 and "FAIL " in out, f"{wrong}: fails its checks ({code}: {out}{err})")

# The reports: a failing submission in each format, counted alike.
exercise = exercises / "06-add-bcd" / "exercise.json"
wrong = exercises / "06-add-bcd" / "wrong-no-daa.asm"
code, _, err = grade(exercise, wrong, "--report", "junit", str(work / "report.xml"))
suite = ElementTree.parse(work / "report.xml").getroot().find("testsuite")
cases = suite.findall("testcase")
expect(code == 1 and suite.get("tests") == "3" and suite.get("failures") == "3" and len(cases) == 3,
       f"junit: 3 tests, 3 failures ({code}, {err})")
expect(all(case.find("failure") is not None and case.find("failure").get("message") for case in cases),
       "junit: every failure carries the learner's message")
code, out, _ = grade(exercise, exercises / "06-add-bcd" / "solution.asm", "--report", "json", "-")
report = json.loads(out)
expect(code == 0 and report["passed"] == 3 and report["failed"] == 0, f"json: 3 passed ({out})")
code, out, _ = grade(exercise, wrong, "--report", "json", "-")
values = [(c["expected"], c["actual"]) for c in json.loads(out)["checks"]]
expect(values == [("83 00", "7D 00"), ("83", "7D"), ("00 01", "9A 00")], f"json: expected and actual apart ({out})")
code, out, _ = grade(exercise, wrong, "--report", "tap", "-")
expect(out.startswith("TAP version 13\n1..3\n") and out.count("\nnot ok ") == 3, f"tap: 3 not ok ({out})")

# A submission that does not assemble is the student's failure; a bad exercise file is the grader's.
broken = work / "broken.asm"
broken.write_text("        ORG 1800h\n        LD A,\n")
code, out, err = grade(exercise, broken)
expect(code == 1 and "broken.asm:2:" in out and "broken.asm:2:" in err, f"broken submission ({code}: {out}{err})")

good = json.loads(exercise.read_text())
bad_files = {
    "syntax": ('{"title": "t",\n  "task" "x"}', "2:10: expected ':'"),
    "unknown name": (json.dumps({**good, "hint": []}, indent=1), "/hint: unknown name"),
    "register": (json.dumps({**good, "runs": [{"checks": [{"register": "Q", "equals": "1", "message": "m"}]}]}),
                 "/runs/0/checks/0/register: unknown register 'Q'"),
    "key": (json.dumps({**good, "runs": [{"keys": "ADDR GOO", "checks": [{"display": "", "message": "m"}]}]}),
            "/runs/0/keys: unknown key 'GOO'"),
    "byte": (json.dumps({**good, "memory": {"1900": "12 3G4"}}), "/memory/1900 (byte 2): should be a byte"),
    "both bounds": (json.dumps({**good, "runs": [{"passes": 1, "tStates": 2, "checks": []}]}), "not both"),
    "no runs": (json.dumps({"title": "t", "task": "x"}), "needs \"runs\""),
}
for name, (text, wanted) in bad_files.items():
    path = work / "bad.json"
    path.write_text(text)
    code, out, err = grade(path, exercises / "06-add-bcd" / "solution.asm")
    expect(code == 2 and out == "" and err.startswith(f"tarvorun: {path}:") and wanted in err,
           f"bad file, {name}: exit 2 and '{wanted}' ({code}: {err})")

for failure in failures:
    print("FAILED:", failure)
print(f"{len(folders)} exercises checked, {len(failures)} failures")
sys.exit(1 if failures else 0)
