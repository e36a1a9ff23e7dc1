"""What the window must show for a document, worked out from its bytes
apart from the program: the summary's counts, every byte's count, and the
rows of Unique Words in their first order and sorted by any column."""

import contextlib
import functools
import re

from .quorvexwindow import SHOWN_CHARACTERS, UniqueWordColumn, count_text, order_text, shown_text


def code_page():
    """Byte to character, as the program turns heading bytes into text:
    Windows-1252, its five unassigned bytes kept as the same code points."""
    characters = [chr(byte) for byte in range(256)]
    for byte in range(0x80, 0xA0):
        with contextlib.suppress(UnicodeDecodeError):
            characters[byte] = bytes([byte]).decode("cp1252")
    return {byte: character for byte, character in enumerate(characters) if ord(character) != byte}


CODE_PAGE = code_page()
WORD_BYTES = re.compile(rb"[A-Za-z']+")


def as_text(data):
    return data.decode("latin-1").translate(CODE_PAGE)


class Row:
    """A distinct word with what its cells are made of. A first occurrence is
    kept as its heading and line reference, the heading shared by every word
    it introduces, as a long heading over many lines would not fit otherwise."""

    def __init__(self, word, heading, line_ref):
        self.word = word
        self.count = 1
        self.first = (heading, line_ref)
        self.order = 0

    def shown(self):
        # As much of the first occurrence as decides what it shows.
        enough = SHOWN_CHARACTERS + 1
        first = "".join(part[:enough] for part in self.first)[:enough]
        return [shown_text(self.word), count_text(self.count), shown_text(first),
                order_text(self.order)]


def compare_first_occurs(a, b):
    """Orders two first occurrences by their whole texts, without joining a
    shared heading to each line reference."""
    if a.first[0] == b.first[0]:
        x, y = a.first[1], b.first[1]
    else:
        x, y = "".join(a.first), "".join(b.first)
    return (x > y) - (x < y)


SORT_KEYS = {
    UniqueWordColumn.WORD: lambda row: row.word,
    UniqueWordColumn.COUNT: lambda row: count_text(row.count),
    UniqueWordColumn.FIRST_OCCURS: functools.cmp_to_key(compare_first_occurs),
    UniqueWordColumn.ORIGINAL_ORDER: lambda row: order_text(row.order),
}


class Model:
    """What the window must show for a document, worked out here from its
    bytes: lines cut at line feeds, the last one at the document's end;
    headings, skipped lines, line references and words as the program's
    documentation describes them."""

    def __init__(self, data):
        self.total_words = 0
        words = {}
        unscanned = []
        heading = ""
        line_ref = ""
        position = 0
        while position < len(data):
            line_feed = data.find(b"\n", position)
            end = len(data) if line_feed < 0 else line_feed + 1
            first = data[position]
            if first in b"B ":
                unscanned.append(data[position:end])
                if first == ord("B"):
                    heading = self.heading_text(data[position:end])
                position = end
                continue
            if end - position >= 8:
                line_ref = as_text(data[position:position + 7])
                unscanned.append(data[position:position + 7])
                position += 7
            for match in WORD_BYTES.finditer(data, position, end):
                word = match.group().replace(b"'", b"").lower()
                if not word:
                    continue
                self.total_words += 1
                row = words.get(word)
                if row is None:
                    words[word] = Row(word.decode("ascii"), heading, line_ref)
                else:
                    row.count += 1
            position = end
        # Grouped by first letter, in the order the scan met them.
        self.rows = sorted(words.values(), key=lambda row: row.word[0])
        for order, row in enumerate(self.rows, start=1):
            row.order = order
        self.byte_counts = self.scanned_byte_counts(data, b"".join(unscanned))

    @staticmethod
    def heading_text(line):
        if len(line) >= 8:
            line = line[:7] + b" " + line[8:]
        return as_text(line[:-2]) + "  "

    @staticmethod
    def scanned_byte_counts(data, unscanned):
        counts = []
        for byte in range(256):
            value = bytes([byte])
            found = data.count(value) if value in data else 0
            counts.append(found - unscanned.count(value))
        return counts

    def summary(self, document, size):
        substitutions = sum(count for byte, count in enumerate(self.byte_counts)
                            if not ord("a") <= byte <= ord("z"))
        return [["File Loaded", document], ["File Size", f"{size:,} bytes"],
                ["Total Word Count", f"{self.total_words:,}"],
                ["Unique Word Count", f"{len(self.rows):,}"],
                ["Substitution Count", f"{substitutions:,}"]]

    def sorted_rows(self, column, descending):
        # A stable sort keeps equal keys in the order filled, in both directions.
        return sorted(self.rows, key=SORT_KEYS[column], reverse=descending)
