#!/usr/bin/env python3
"""The chaos run's plan and its checks (scripts/chaos-run.sh drives Wine).

  chaos-run.py plan N SEED OUT_DIR FOLDER_WIN
      picks the drawings' versions and about a tenth of them a fault, writes
      plan.tsv (one drawing a line), make-drawings.bat (mkdwg for each) and
      the user's list file "Chaos drawings.dml" (code page 1252, CR LF).
  chaos-run.py check RUN_DIR
      reads what the run left in RUN_DIR and prints the report; exit status 1
      when a check fails, with the failing drawing and why.
"""
import os
import random
import re
import sys

CURRENT = "OX1032"
OLD_VERSIONS = ["OX1015", "OX1018", "OX1021", "OX1024"]
LIST_HEADER = "[Kelvane Mechanical drawing list]"

# Texts of the en-US resource library the log is checked against.
S = {
    "progress": "Migrating %s",
    "watched": 'The host was ended because the window "%s" was open.',
    "timeout": "The drawing ran out of time. The host window showed:",
    "timeout_minutes": "The drawing took longer than %d minutes and was skipped.",
    "user_stop": "The host was ended because the run was stopped.",
    "host_error": "The host was ended because its log reports an error:",
    "answered": 'The window "%s" was answered automatically.',
    "units_note": "The drawing's units differ from its template's; the drawing's units were kept.",
    "window_texts": "The window showed these texts:",
    "stopped": "The migration was stopped by the user.",
    "resumed": "The migration was resumed.",
    "total": "    Drawings selected:     %d",
    "migrated": "    Drawings migrated:     %d",
    "missing": "%d selected drawing(s) were not migrated. The entries above tell why.",
    "not_saved": "%s was not saved: the file is unchanged.",
    "exit_code": "%s: the host ended with exit code %s.",
    "rule": "*" * 70,
}
# The reason lines that stand above the summary, for one drawing each.
REASON = re.compile(r"^\t(.+?)(?: was not saved: .*|: the host ended with exit code 0x[0-9A-F]{8}\.)$")

# Fatal windows (their process is ended): resource id, title.
FATAL = [
    (2191, "Orthex Fatal Error"), (2192, "Orthex Error Report"), (2193, "Unhandled Exception"),
    (2101, "Drawing File Damaged"), (2103, "Missing Shape File"), (2105, "Drawing Is Write-Protected"),
    (2107, "Out of Memory"), (2109, "License Error"), (2112, "Runtime Extension Error"),
    (2114, "Drawing Version Not Supported"), (2118, "Audit Errors"), (2119, "Drawing Errors Found"),
    (2121, "Orthex Application Error"), (2124, "Save Drawing As"), (2128, "Orthex Startup"),
]
# Windows the watcher answers with a key: title (a resource or a literal
# matching a wildcard row), extra mkdwg options, the log lines it leaves.
HARMLESS = [
    ("{res:2130}", "Tip of the Day", [], True, False),
    ("Unreconciled Layers in %s", None, [], True, False),
    ("{res:2132}", "Drawing Modified", ["--dialog-button", "{res:2136}"], True, False),
    ("{res:2133}", "Communication Center", [], True, False),
    ("{res:2134}", "Drawing Units Differ", [], True, True),
    ("{res:2137}", "Orthex Message", [], True, False),
    ("{res:2138}", "Compatibility Notice", [], True, False),
    # Answered with Enter for its host text, with no line of its own.
    ("{res:2102}", "Open Drawing - Warning", ["--dialog-text", "{host:20010}"], False, False),
]
MARKERS = ["FATAL ERROR", "Unhandled exception", "INTERNAL ERROR", "Out of memory"]
KINDS = ["hang", "crash", "fatal", "harmless", "logerror", "savefail", "slow"]


def name_of(i):
    return "Part %03d.dwg" % i


def plan(n, seed, out, folder_win):
    rng = random.Random(seed)
    faults = max(1, (n + 5) // 10)
    chosen = sorted(rng.sample(range(1, n + 1), min(faults, n)))
    # Every kind once while there are enough faults, then any.
    kinds = rng.sample(KINDS, len(KINDS))
    kinds = (kinds + [rng.choice(KINDS) for _ in chosen])[: len(chosen)]
    rng.shuffle(kinds)
    kind_of = dict(zip(chosen, kinds))
    rows, bat = [], ["@echo off"]
    for i in range(1, n + 1):
        name = name_of(i)
        version = rng.choice(OLD_VERSIONS)
        args = ["--version", version, "--seed", str(i % 7)]
        kind, detail = kind_of.get(i, "none"), ""
        stage = rng.choice(["open", "migr"])
        if kind == "hang":
            args += ["--hang", "--at", stage]
            detail = "at " + stage
        elif kind == "crash":
            args += ["--crash", "--at", stage]
            detail = "at " + stage
        elif kind == "fatal":
            rid, title = rng.choice(FATAL)
            args += ["--dialog", "{res:%d}" % rid, "--at", stage]
            if rid in (2118, 2119, 2121):
                args += ["--dialog-text", "Object 4711 could not be read"]
            detail = title
        elif kind == "harmless":
            ref, title, extra, logged, note = rng.choice(HARMLESS)
            if "%s" in ref:
                ref = title = ref % name.lower()
            args += ["--dialog", ref, "--at", stage] + extra
            detail = "%s|%d|%d" % (title, logged, note)
        elif kind == "logerror":
            marker = rng.choice(MARKERS)
            if rng.random() < 0.3:
                marker = marker.lower()
            text = "Regenerating the model: %s in block %d" % (marker, rng.randint(1, 999))
            args += ["--log-error", text, "--at", stage]
            detail = text
        elif kind == "savefail":
            args += ["--save-fails"]
        elif kind == "slow":
            seconds = rng.randint(35, 44)
            args += ["--delay", str(seconds), "--at", stage]
            detail = "%d s at %s" % (seconds, stage)
        rows.append((i, name, version, kind, detail))
        bat.append('"%%MKDWG%%" "%s" %s' % (name, " ".join('"%s"' % a if " " in a else a for a in args)))
    with open(os.path.join(out, "plan.tsv"), "w", encoding="utf-8") as f:
        for r in rows:
            f.write("\t".join(str(x) for x in r) + "\n")
    with open(os.path.join(out, "make-drawings.bat"), "wb") as f:
        f.write(("\r\n".join(bat) + "\r\n").encode("ascii"))
    lines = [LIST_HEADER] + ["[ ]" + (folder_win + "\\" + r[1]).lower() for r in rows]
    with open(os.path.join(out, "Chaos drawings.dml"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    counts = {k: kinds.count(k) for k in KINDS}
    print("plan: %d drawings, seed %s, %d with a fault: %s" % (
        n, seed, len(chosen), ", ".join("%s %d" % (k, counts[k]) for k in KINDS)))


# ---- check -------------------------------------------------------------------

class Report:
    def __init__(self):
        self.failures = []

    def fail(self, what):
        self.failures.append(what)


def read_lines(path, encoding="cp1252"):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        data = f.read().decode(encoding, errors="replace")
    return data.replace("\r\n", "\n").split("\n")[:-1] if data else []


def stamped(path):
    """Lines of the migration log as they appeared: (unix seconds, text)."""
    out = []
    for line in read_lines(path, "cp1252") or []:
        t, _, text = line.partition("\t")
        try:
            out.append((float(t.replace(",", ".")), text.rstrip("\r")))
        except ValueError:
            pass
    return out


def hosts(folder):
    """Each stand-in host's own lines with its clock: [(pid, [(seconds, text)])]."""
    found = []
    for entry in sorted(os.listdir(folder)):
        if not entry.endswith(".times"):
            continue
        rows = []
        for line in read_lines(os.path.join(folder, entry)) or []:
            t, _, text = line.partition("\t")
            if t.isdigit():
                rows.append((int(t) / 1000.0, text))
        if rows:
            found.append((entry, rows))
    found.sort(key=lambda h: h[1][0][0])
    return found


def check(run):
    r = Report()
    info = dict(line.rstrip("\n").split("=", 1) for line in open(os.path.join(run, "run.env")))
    n = int(info["N"])
    rows = [l.rstrip("\n").split("\t") for l in open(os.path.join(run, "plan.tsv"), encoding="utf-8")]
    plan_rows = {int(x[0]): dict(name=x[1], version=x[2], kind=x[3], detail=x[4]) for x in rows}
    names = {p["name"].lower(): i for i, p in plan_rows.items()}

    log = read_lines(os.path.join(run, "migration.log"))
    if log is None:
        print("FAIL: no migration log")
        return 1
    # The log in sections: one per progress line, up to the next, the last
    # one up to the summary's header. The reasons found after the run stand
    # just above that header, one drawing each.
    sections = []  # (drawing number, [lines])
    head, tail = [], []
    reasons = {}  # drawing number: [lines]
    for line in log:
        m = re.match(r"^Migrating (.+?) ?$", line)
        reason = REASON.match(line)
        if tail or (sections and line == S["rule"]):
            tail.append(line)
        elif m and m.group(1).lower() in names:
            sections.append((names[m.group(1).lower()], []))
        elif reason and sections:
            i = names.get(reason.group(1).lower().rsplit("\\", 1)[-1])
            if i is None:
                r.fail("a reason for a drawing not in the run: %r" % line)
            else:
                reasons.setdefault(i, []).append(line[1:])
        elif sections:
            if reasons and line.strip():
                r.fail("a line amid the reasons: %r" % line)
            sections[-1][1].append(line)
        else:
            head.append(line)
    per = {}
    for i, lines in sections:
        per.setdefault(i, []).append(lines)

    migrated_txt = [l.strip().lower() for l in read_lines(os.path.join(run, "MIGRATED.TXT")) or [] if l.strip()]
    versions = {}
    for line in open(os.path.join(run, "versions.txt"), encoding="utf-8"):
        name, _, v = line.rstrip("\n").partition("\t")
        versions[name.lower()] = v
    folder = info["FOLDER"].lower()

    stopped_at = None
    for i, attempts in per.items():
        if len(attempts) > 1:
            if stopped_at is not None:
                r.fail("%s: %s processed %d times" % (i, plan_rows[i]["name"], len(attempts)))
            stopped_at = i
    stop_wanted = info.get("STOP_AT", "0") != "0"

    truly = set()
    known = []
    counts = {}
    for i in range(1, n + 1):
        p = plan_rows[i]
        name, kind, detail = p["name"], p["kind"], p["detail"]
        counts.setdefault(kind, [0, 0])[0] += 1
        attempts = per.get(i)
        why = "%d %s (%s%s)" % (i, name, kind, ": " + detail if detail else "")
        if not attempts:
            r.fail("%s: skipped, no line in the log" % why)
            continue
        if len(attempts) == 2:
            first, lines = attempts
            if "\t" + S["user_stop"] not in first and S["stopped"] not in first:
                r.fail("%s: processed twice, the first time not ended by the stop" % why)
            if S["resumed"] not in first:
                r.fail("%s: processed again without the resume line" % why)
            if not stop_wanted:
                r.fail("%s: processed twice in a run without a stop" % why)
        elif len(attempts) > 2:
            r.fail("%s: processed %d times" % (why, len(attempts)))
            continue
        else:
            lines = attempts[0]
        path = folder + "\\" + name.lower()
        in_list = migrated_txt.count(path)
        given = [x.lower() for x in reasons.get(i, [])]
        saved = versions.get(name.lower()) == CURRENT
        detail_lines = [l for l in lines if l.startswith("\t")]
        has = lambda text: ("\t" + text) in lines
        if saved:
            truly.add(i)
        expect_migrated = kind in ("none", "harmless", "slow")
        if expect_migrated:
            if not saved:
                r.fail("%s: not migrated (version %s)" % (why, versions.get(name.lower())))
            if in_list < 1:
                r.fail("%s: migrated but not in MIGRATED.TXT" % why)
        if kind in ("none", "slow"):
            if detail_lines:
                r.fail("%s: unexpected log lines %r" % (why, detail_lines))
        elif kind == "harmless":
            title, logged, note = detail.split("|")
            want = ["\t" + S["answered"] % title] if logged == "1" else []
            if note == "1":
                want.append("\t" + S["units_note"])
            if detail_lines != want:
                r.fail("%s: log lines %r, not %r" % (why, detail_lines, want))
        else:
            if saved:
                r.fail("%s: migrated despite its fault" % why)
            if kind == "hang":
                ok = has(S["timeout"]) and has(S["timeout_minutes"] % 1)
            elif kind == "fatal":
                ok = has(S["watched"] % detail)
            elif kind == "logerror":
                ok = ('\t\t** "%s"' % detail) in lines and has(S["host_error"])
            elif kind == "crash":
                # The host vanished by itself: nothing ended it, the extension
                # never reported the drawing migrated, and its exit code tells.
                ok = (not detail_lines and not any("axmigr: migrated" in l for l in lines)
                      and given == [(S["exit_code"] % (path, "0xC0000005")).lower()])
            elif kind == "savefail":
                # The extension records the drawing before the host saves it;
                # the file tells that it was not saved.
                ok = not detail_lines and given == [(S["not_saved"] % path).lower()]
            else:
                ok = False
            if not ok:
                r.fail("%s: the log does not give its reason: %r" % (why, lines))
            if kind != "savefail" and in_list:
                r.fail("%s: in MIGRATED.TXT though not migrated" % why)
        if kind not in ("crash", "savefail") and i in reasons:
            r.fail("%s: reasons %r" % (why, reasons[i]))
        if saved:
            counts[kind][1] += 1
    if stop_wanted and stopped_at is None and info.get("STOPPED_BETWEEN") != "1":
        r.fail("the run was stopped and resumed, but no drawing shows it")

    # The summary.
    want_total = S["total"] % n
    want_migrated = S["migrated"] % len(truly)
    for text in (want_total, want_migrated):
        if text not in log:
            r.fail("the summary lacks %r (it says %r)" % (text, [l for l in log if l.startswith("    Drawings")]))
    missing = n - len(truly)
    if missing and (S["missing"] % missing) not in log:
        r.fail("the summary lacks the %d drawings not migrated" % missing)

    # The user's list: its bytes as they were, with the marks of the migrated.
    before = open(os.path.join(run, "list-before.dml"), "rb").read()
    after = open(os.path.join(run, "list-after.dml"), "rb").read()
    out = []
    for line in before.split(b"\r\n"):
        if line.startswith(b"[ ]"):
            entry = line[3:].decode("cp1252")
            i = names.get(entry.rsplit("\\", 1)[-1])
            if i in truly:
                line = b"[x]" + line[3:]
        out.append(line)
    if b"\r\n".join(out) != after:
        bl, al = b"\r\n".join(out).split(b"\r\n"), after.split(b"\r\n")
        diff = [(a, b) for a, b in zip(bl, al) if a != b][:3]
        r.fail("the list file is not the original plus the marks: %r (lines %d, %d)" % (diff, len(bl), len(al)))

    for line in open(os.path.join(run, "leftovers.txt"), encoding="utf-8"):
        if line.startswith("KNOWN: "):
            known.append(line[7:].strip())
        elif line.strip():
            r.fail(line.strip())

    # Times: the run against the hosts' own, the watcher's reactions.
    lines_t = stamped(os.path.join(run, "migration.stamped"))
    host_runs = hosts(os.path.join(run, "transcripts"))
    progress_t = [(t, l) for t, l in lines_t if l.startswith("Migrating ")]
    end_t = [t for t, l in lines_t if l.startswith(S["total"].split("%")[0])]
    pause = 0.0
    st = [t for t, l in lines_t if l.startswith(S["stopped"])]
    rs = [t for t, l in lines_t if l.startswith(S["resumed"])]
    if st and rs:
        pause = rs[0] - st[0]
    reactions = []
    if progress_t and end_t and host_runs:
        wall = end_t[-1] - progress_t[0][0]
        own = 0.0
        # A host the monitor ended logs nothing more: its end is the line
        # the monitor wrote before ending it.
        ends = [t for t, l in lines_t if l.startswith("\t") and " host was ended " in l
                or l.startswith("\t" + S["timeout_minutes"].split("%")[0])]
        for _, rows_h in host_runs:
            start, last = rows_h[0][0], rows_h[-1][0]
            ended = last
            if not any(t.startswith("Quit.") for _, t in rows_h):
                later = [t for t in ends if t >= last - 0.5]
                nxt = [h[1][0][0] for h in host_runs if h[1][0][0] > start]
                cands = later[:1] + [min(nxt)] if nxt else later[:1]
                if cands:
                    ended = min(cands)
            own += max(0.0, ended - start)
        overhead = wall - pause - own
        print("time: wall %.0f s (stopped %.0f s of it), the hosts' own %.0f s, overhead %.0f s"
              " (%.2f s a drawing, %d hosts)" % (wall, pause, own, overhead,
                                                overhead / max(1, len(host_runs)), len(host_runs)))
        # Per fault: when it showed (the host's clock) against the answer.
        by_path = {}
        for entry, rows_h in host_runs:
            for t, text in rows_h:
                m = re.match(r'^Opened "(.+)" \(', text)
                if m:
                    by_path.setdefault(m.group(1).lower().rsplit("\\", 1)[-1], []).append(rows_h)
        for i in range(1, n + 1):
            p = plan_rows[i]
            kind, detail = p["kind"], p["detail"]
            if kind not in ("hang", "fatal", "harmless", "logerror"):
                continue
            for rows_h in by_path.get(p["name"].lower(), []):
                shown = answer = None
                if kind == "hang":
                    # The budget runs from the moment the batch file wrote
                    # the drawing's number, just before its progress line.
                    opened = next((t for t, x in rows_h if x.startswith("Opened ")), None)
                    shown = next((t for t, x in reversed(progress_t) if opened is not None
                                  and t <= opened + 0.5 and x.rstrip().lower()
                                  == ("Migrating " + p["name"]).lower()), None)
                    want = "\t" + S["timeout_minutes"] % 1
                elif kind in ("fatal", "harmless"):
                    shown = next((t for t, x in rows_h if x.startswith("[stand-in] dialog \"")), None)
                    want = "\t" + S["watched"] % detail if kind == "fatal" else None
                    if kind == "harmless":
                        answer = next((t for t, x in rows_h if x.startswith("[stand-in] dialog closed")), None)
                else:
                    shown = next((t for t, x in rows_h if x == detail), None)
                    want = "\t" + S["host_error"]
                if shown is None:
                    continue
                if answer is None and want:
                    answer = next((t for t, x in lines_t if x == want and t >= shown - 0.5), None)
                if answer is None:
                    if stopped_at == i:
                        continue
                    r.fail("%d %s (%s): no answer to its fault seen" % (i, p["name"], kind))
                    continue
                took = answer - shown
                reactions.append((kind, took))
                # A minute's budget ends within a poll (5 s) of its minute;
                # the stamps come from a tail that looks every 0.2 s.
                low, limit = (59.6, 65.4) if kind == "hang" else (-1.0, 10.5)
                if not low <= took <= limit:
                    r.fail("%d %s (%s): answered after %.1f s" % (i, p["name"], kind, took))
        if len(host_runs) != len(progress_t):
            r.fail("%d hosts timed for %d drawings started" % (len(host_runs), len(progress_t)))
    else:
        r.fail("no times: progress %d, end %d, hosts %d" % (len(progress_t), len(end_t), len(host_runs)))

    print("drawings: %d, migrated %d, stopped and resumed at %s" % (
        n, len(truly), plan_rows[stopped_at]["name"] if stopped_at else "-"))
    print("faults (kind: drawings, of them migrated):")
    for k in ["none"] + KINDS:
        if k in counts:
            print("  %-9s %4d %4d" % (k, counts[k][0], counts[k][1]))
    for k in ("fatal", "harmless", "logerror", "hang"):
        ts = [t for kind, t in reactions if kind == k]
        if ts:
            label = "budget end" if k == "hang" else "reaction"
            print("  %s %-9s min %.1f s, max %.1f s, mean %.1f s (%d)" % (
                label, k, min(ts), max(ts), sum(ts) / len(ts), len(ts)))
    for k in known:
        print("KNOWN: " + k)
    if r.failures:
        for f in r.failures:
            print("FAIL: " + f)
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    if len(sys.argv) >= 6 and sys.argv[1] == "plan":
        plan(int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5])
    elif len(sys.argv) == 3 and sys.argv[1] == "check":
        sys.exit(check(sys.argv[2]))
    else:
        print(__doc__)
        sys.exit(3)
