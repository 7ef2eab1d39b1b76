"""A small description of a printed form, written out as a flat ODS spreadsheet.

A form is a grid of columns and rows (sizes in millimetres) with cells that
carry a caption or stay empty for a value, optionally merged over several
columns and rows, in one of a few named styles. A caption may instead be a
formula, and an area may take a frame only while a condition holds (a label
whose number cell is still empty prints nothing). The office turns the .fods
into the .xls that the program ships; the cell addresses of the values go
into the template's definition text.
"""
from xml.sax.saxutils import escape

LATIN_FONT = "Arial"
BARCODE_FONT = "3 of 9 Barcode"

# Which sides of a cell carry a line: a whole box, the top of a box whose
# bottom is the cell below (a barcode over its number), that cell below, and
# single lines.
BORDERS = {
    "box": ("top", "bottom", "left", "right"),
    "top": ("top", "left", "right"),
    "under": ("bottom", "left", "right"),
    "line-top": ("top",),
    "line-bottom": ("bottom",),
    "line-left": ("left",),
    "line-right": ("right",),
    "": (),
}
LINE = "0.5pt solid #000000"

# name: (font size pt, bold, horizontal alignment, border, grey fill, font, wrap)
# Values that do not wrap shrink to fit their box, so that a long phone number
# or waybill number (and its barcode, which a scanner cannot read when cut)
# is printed whole on its line.
STYLES = {
    "title": (16, True, "center", "", False, LATIN_FONT, False),
    "subtitle": (9, False, "center", "", False, LATIN_FONT, False),
    "section": (10, True, "start", "box", True, LATIN_FONT, False),
    "caption": (7, False, "start", "box", False, LATIN_FONT, True),
    "value": (10, False, "start", "box", False, LATIN_FONT, False),
    "value-wrap": (10, False, "start", "box", False, LATIN_FONT, True),
    "value-centre": (10, False, "center", "box", False, LATIN_FONT, False),
    "number": (16, True, "center", "box", False, LATIN_FONT, False),
    "big": (14, True, "center", "box", False, LATIN_FONT, False),
    "check": (12, True, "center", "box", False, LATIN_FONT, False),
    "head": (9, True, "center", "box", True, LATIN_FONT, True),
    "note": (7, False, "start", "", False, LATIN_FONT, True),
    "sign": (9, False, "start", "box", False, LATIN_FONT, True),
    "barcode-top": (24, False, "center", "top", False, BARCODE_FONT, False),
    "number-under": (12, True, "center", "under", False, LATIN_FONT, False),
    "plain": (10, False, "start", "", False, LATIN_FONT, False),
    # A label's cells draw no line of their own: its frame comes with its number.
    "label-barcode": (28, False, "center", "", False, BARCODE_FONT, False),
    "label-number": (10, True, "center", "", False, LATIN_FONT, False),
    "label-big": (12, True, "center", "", False, LATIN_FONT, False),
    "label-caption": (7, False, "start", "", False, LATIN_FONT, False),
    "label-value": (9, False, "start", "", False, LATIN_FONT, False),
    "label-small": (7, False, "center", "", False, LATIN_FONT, False),
}

# The named styles a condition applies: one line each. The office gives a
# cell under a condition the font of the default style, so conditions go on
# empty cells only (thin rows and columns around and between the texts).
FRAMES = {"LineTop": "line-top", "LineBottom": "line-bottom", "LineLeft": "line-left", "LineRight": "line-right"}


def column_number(letters):
    n = 0
    for c in letters:
        n = n * 26 + (ord(c) - 64)
    return n


def split_ref(ref):
    letters = "".join(c for c in ref if c.isalpha())
    return column_number(letters), int(ref[len(letters):])


class Sheet:
    def __init__(self, name, widths_mm, heights_mm, landscape=False, margins_mm=10):
        self.name = name
        self.widths = list(widths_mm)
        self.heights = list(heights_mm)
        self.landscape = landscape
        self.margins = margins_mm
        # (row, column) -> (text, style, columns spanned, rows spanned, formula)
        self.cells = {}
        # (first ref, last ref, frame style, condition formula)
        self.conditions = []
        # The rows printed again at the top of every page (first, last), if any.
        self.repeated_rows = None

    def repeat_rows(self, first, last):
        """Prints rows first..last again at the top of each page of a long list."""
        assert 1 <= first <= last <= len(self.heights)
        self.repeated_rows = (first, last)

    def put(self, ref, text="", style="value", span=None, formula=None):
        """A cell at ref ("B3"), or a merged area when span ("B3:D3") is given.

        A formula (OpenFormula, without "of:=") replaces the text; it is shown
        as the text it gives."""
        column, row = split_ref(ref)
        columns, rows = 1, 1
        if span:
            last_column, last_row = split_ref(span.split(":")[1])
            columns, rows = last_column - column + 1, last_row - row + 1
        assert 1 <= column <= len(self.widths) and 1 <= row <= len(self.heights), ref
        self.cells[(row, column)] = (text, style, columns, rows, formula)

    def frame_when(self, area, frame, formula):
        """Draws the line of a frame style over the area ("A1:D9") while the formula is true."""
        assert frame in FRAMES, frame
        first, last = area.split(":")
        self.conditions.append((first, last, frame, formula))

    def covered(self):
        hidden = set()
        for (row, column), (_, _, columns, rows, _) in self.cells.items():
            for r in range(row, row + rows):
                for c in range(column, column + columns):
                    if (r, c) != (row, column):
                        hidden.add((r, c))
        return hidden

    def fods(self):
        styles = sorted({style for (_, style, _, _, _) in self.cells.values()})
        out = [HEAD, frame_styles(), self._automatic_styles(styles), MASTER, "<office:body><office:spreadsheet>\n"]
        out.append('<table:table table:name="%s" table:style-name="ta1">\n' % escape(self.name))
        for i in range(len(self.widths)):
            out.append('<table:table-column table:style-name="co%d"/>\n' % (i + 1))
        hidden = self.covered()
        for r in range(1, len(self.heights) + 1):
            if self.repeated_rows and r == self.repeated_rows[0]:
                out.append("<table:table-header-rows>\n")
            out.append('<table:table-row table:style-name="ro%d">' % r)
            for c in range(1, len(self.widths) + 1):
                out.append(self._cell(r, c, hidden))
            out.append("</table:table-row>\n")
            if self.repeated_rows and r == self.repeated_rows[1]:
                out.append("</table:table-header-rows>\n")
        out.append(self._conditions())
        out.append("</table:table>\n</office:spreadsheet></office:body>\n</office:document>\n")
        return "".join(out)

    def _conditions(self):
        if not self.conditions:
            return ""
        sheet = escape(self.name)
        out = ["<calcext:conditional-formats>\n"]
        for first, last, frame, formula in self.conditions:
            out.append('<calcext:conditional-format calcext:target-range-address="%s.%s:%s.%s">'
                       '<calcext:condition calcext:apply-style-name="%s" calcext:value="formula-is(%s)" '
                       'calcext:base-cell-address="%s.%s"/></calcext:conditional-format>\n'
                       % (sheet, first, sheet, last, frame, escape(formula, {'"': "&quot;"}), sheet, first))
        out.append("</calcext:conditional-formats>\n")
        return "".join(out)

    def _cell(self, r, c, hidden):
        if (r, c) in hidden:
            return "<table:covered-table-cell/>"
        if (r, c) not in self.cells:
            return "<table:table-cell/>"
        text, style, columns, rows, formula = self.cells[(r, c)]
        attributes = ' table:style-name="%s"' % style
        if columns > 1 or rows > 1:
            attributes += ' table:number-columns-spanned="%d" table:number-rows-spanned="%d"' % (columns, rows)
        if formula:
            return ('<table:table-cell%s table:formula="of:=%s" office:value-type="string" office:string-value=""/>'
                    % (attributes, escape(formula, {'"': "&quot;"})))
        if not text:
            return "<table:table-cell%s/>" % attributes
        paragraphs = "".join("<text:p>%s</text:p>" % escape(line) for line in text.split("\n"))
        return '<table:table-cell%s office:value-type="string">%s</table:table-cell>' % (attributes, paragraphs)

    def _automatic_styles(self, used):
        out = ["<office:automatic-styles>\n"]
        for i, width in enumerate(self.widths):
            out.append('<style:style style:name="co%d" style:family="table-column">'
                       '<style:table-column-properties style:column-width="%.1fmm"/></style:style>\n' % (i + 1, width))
        for i, height in enumerate(self.heights):
            if height is None:
                # As high as its text, like the rows the program writes below it.
                out.append('<style:style style:name="ro%d" style:family="table-row"><style:table-row-properties '
                           'style:use-optimal-row-height="true"/></style:style>\n' % (i + 1))
                continue
            out.append('<style:style style:name="ro%d" style:family="table-row"><style:table-row-properties '
                       'style:row-height="%.1fmm" style:use-optimal-row-height="false"/></style:style>\n'
                       % (i + 1, height))
        out.append('<style:style style:name="ta1" style:family="table" style:master-page-name="Form">'
                   '<style:table-properties table:display="true"/></style:style>\n')
        for name in used:
            out.append(cell_style(name))
        page_width, page_height = (297, 210) if self.landscape else (210, 297)
        out.append('<style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="%dmm" '
                   'fo:page-height="%dmm" style:print-orientation="%s" fo:margin-top="%dmm" fo:margin-bottom="%dmm" '
                   'fo:margin-left="%dmm" fo:margin-right="%dmm" style:print="objects charts drawings" '
                   'style:scale-to="100%%"/><style:header-style/><style:footer-style/></style:page-layout>\n'
                   % (page_width, page_height, "landscape" if self.landscape else "portrait",
                      self.margins, self.margins, self.margins, self.margins))
        out.append("</office:automatic-styles>\n")
        return "".join(out)


def border_attributes(border):
    return "".join(' fo:border-%s="%s"' % (side, LINE) for side in BORDERS[border])


def frame_styles():
    """The named styles a condition applies; the office keeps each cell's own font and alignment."""
    out = ["<office:styles>\n", DEFAULT_STYLE]
    for name, border in sorted(FRAMES.items()):
        out.append('<style:style style:name="%s" style:family="table-cell" style:parent-style-name="Default">'
                   '<style:table-cell-properties%s/></style:style>\n' % (name, border_attributes(border)))
    out.append("</office:styles>\n")
    return "".join(out)


def cell_style(name):
    size, bold, align, border, grey, font, wrap = STYLES[name]
    weight = "bold" if bold else "normal"
    cell = 'style:vertical-align="middle"' + border_attributes(border)
    if grey:
        cell += ' fo:background-color="#d9d9d9"'
    if wrap:
        cell += ' fo:wrap-option="wrap"'
    elif border or name.startswith("label-"):
        cell += ' style:shrink-to-fit="true"'
    text = ('style:font-name="{f}" fo:font-size="{s}pt" fo:font-weight="{w}" style:font-name-asian="{f}" '
            'style:font-size-asian="{s}pt" style:font-weight-asian="{w}" style:font-name-complex="{f}" '
            'style:font-size-complex="{s}pt" style:font-weight-complex="{w}"').format(f=font, s=size, w=weight)
    return ('<style:style style:name="%s" style:family="table-cell"><style:table-cell-properties %s/>'
            '<style:paragraph-properties fo:text-align="%s"/><style:text-properties %s/></style:style>\n'
            % (name, cell, align, text))


HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:font-face-decls>
 <style:font-face style:name="Arial" svg:font-family="Arial" style:font-family-generic="swiss"/>
 <style:font-face style:name="3 of 9 Barcode" svg:font-family="'3 of 9 Barcode'"/>
</office:font-face-decls>
"""

DEFAULT_STYLE = """ <style:style style:name="Default" style:family="table-cell">
  <style:text-properties style:font-name="Arial" fo:font-size="10pt" style:font-name-asian="Arial"
   style:font-size-asian="10pt" style:font-name-complex="Arial" style:font-size-complex="10pt"/>
 </style:style>
"""

MASTER = """<office:master-styles>
 <style:master-page style:name="Form" style:page-layout-name="pm1">
  <style:header style:display="false"/><style:footer style:display="false"/>
 </style:master-page>
</office:master-styles>
"""
