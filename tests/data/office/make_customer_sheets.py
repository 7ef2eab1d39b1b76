#!/usr/bin/env python3
"""Writes the customer sheets of the import tests into a folder, in the forms
customers bring them: an .xlsx as Excel writes it (shared strings, styles
with zero-padding number formats, a date, a merged title row, an
instructions sheet first), an HTML table and an Excel 2003 XML workbook
saved as ".xls" by web shops, CSV in GBK and in UTF-8 with a byte-order
mark, and two sheets that are too big to import whole.

    make_customer_sheets.py FOLDER
"""
import os
import sys
import zipfile
from xml.sax.saxutils import escape

HEADER = ["快递单号*", "收货人", "手机", "详细地址", "目的城市", "邮编", "重量", "下单日期", "订单状态"]
LONG_ADDRESS = "北京市朝阳区" + "建国路" * 22  # 72 characters, 144 bytes in GBK

# One row per line: waybill, receiver, phone, address, destination, postcode,
# weight, order date (y, m, d) or None, status. A row of None is blank.
# Each value is (kind, value): "s" text, "n" number, "p" number with a
# zero-padding format of that many digits, "f" a formula giving text.
ROWS = [
    [("n", 773000000000001), ("s", "张三"), ("p11", 1086493748), ("s", "朝阳区建国路1号"), ("s", "北京"),
     ("p6", 30001), ("s", "500g"), (2024, 3, 5), ("s", "已发货")],
    None,
    [("s", "7.73000E+14"), ("s", "李四"), ("n", 13800138000), ("s", "南山区科技园"), ("s", "深圳"),
     None, ("s", "1"), (2024, 3, 5), ("s", "已付款")],
    [("s", "AB0000006"), ("s", "王五"), ("n", 13900000000), ("s", "火星基地1号"), ("s", "火星"),
     None, ("s", "1,234.5"), (2024, 3, 6), None],
    [("s", "AB0000007"), ("s", "赵六"), ("n", 13900000001), ("s", "海淀区1号"), ("s", "北京"),
     None, ("s", "abc"), (2024, 3, 6), None],
    None,
    [("s", "AB0000009"), ("s", "孙七"), ("n", 13700000000), ("s", LONG_ADDRESS), ("s", "北京"),
     None, ("n", 2), (2024, 3, 7), None],
    [("s", "AB0000010"), None, ("n", 13600000000), ("s", "福田区2号"), ("s", "深圳"),
     None, ("n", 2), (2024, 3, 7), None],
    [("f", "773000000000011"), ("s", "周八"), ("p11", 1012345678), ("s", "东城区3号"), ("s", "北京"),
     None, ("s", "１.５公斤"), (2024, 3, 8), None],
    [("s", "AB0000012"), ("s", "吴九"), ("n", 13500000000), ("s", "西城区4号"), ("s", "北京"),
     None, ("s", "-1"), (2024, 3, 8), None],
    [("s", "AB0000013"), ("s", "郑十"), ("n", 15000000000), ("s", "丰台区5号"), ("s", "北京"),
     None, ("s", "约2公斤"), (2024, 3, 8), None],
]
TITLE = "某某商城 2024年3月 发货清单"
INSTRUCTIONS = ["填写说明", "快递单号:必填", "目的城市:必填"]


def text_of(cell):
    """The cell as Excel shows it, for the text forms."""
    if cell is None:
        return ""
    if isinstance(cell[0], int):
        return "%d/%d/%d" % cell
    kind, value = cell
    if kind.startswith("p"):
        return str(value).zfill(int(kind[1:]))
    if kind == "f":
        return '="%s"' % value
    return str(value)


def column(index):
    name = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        name = chr(65 + rest) + name
    return name


def excel_serial(y, m, d):
    import datetime
    return (datetime.date(y, m, d) - datetime.date(1899, 12, 30)).days


class Strings:
    def __init__(self):
        self.items = []
        self.index = {}

    def add(self, text):
        if text not in self.index:
            self.index[text] = len(self.items)
            self.items.append(text)
        return self.index[text]

    def xml(self):
        body = "".join('<si><t xml:space="preserve">%s</t></si>' % escape(t) for t in self.items)
        return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="%d" uniqueCount="%d">'
                '%s</sst>' % (len(self.items), len(self.items), body))


# Style indexes of styles.xml below.
STYLE = {"p11": 1, "p6": 2, "date": 3}


def xlsx_cell(ref, cell, strings):
    if cell is None:
        return ""
    if isinstance(cell[0], int):
        return '<c r="%s" s="%d"><v>%d</v></c>' % (ref, STYLE["date"], excel_serial(*cell))
    kind, value = cell
    if kind == "s":
        return '<c r="%s" t="s"><v>%d</v></c>' % (ref, strings.add(value))
    if kind == "f":
        return '<c r="%s" t="str"><f>"%s"</f><v>%s</v></c>' % (ref, value, value)
    style = ' s="%d"' % STYLE[kind] if kind in STYLE else ""
    return '<c r="%s"%s><v>%d</v></c>' % (ref, style, value)


def sheet_xml(rows, strings, merge=None, extra=""):
    out = []
    for r, row in enumerate(rows, start=1):
        if row is None:
            continue
        cells = "".join(xlsx_cell("%s%d" % (column(c), r), cell, strings) for c, cell in enumerate(row))
        out.append('<row r="%d">%s</row>' % (r, cells))
    merged = '<mergeCells count="1"><mergeCell ref="%s"/></mergeCells>' % merge if merge else ""
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
            'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
            '<sheetData>%s%s</sheetData>%s</worksheet>' % ("".join(out), extra, merged))


STYLES = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
          '<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
          '<numFmts count="2"><numFmt numFmtId="164" formatCode="00000000000"/>'
          '<numFmt numFmtId="165" formatCode="000000"/></numFmts>'
          '<fonts count="1"><font><sz val="11"/><name val="宋体"/><family val="2"/><charset val="134"/></font></fonts>'
          '<fills count="2"><fill><patternFill patternType="none"/></fill>'
          '<fill><patternFill patternType="gray125"/></fill></fills>'
          '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>'
          '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
          '<cellXfs count="4"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
          '<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>'
          '<xf numFmtId="165" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>'
          '<xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs>'
          '<cellStyles count="1"><cellStyle name="常规" xfId="0" builtinId="0"/></cellStyles></styleSheet>')


def write_xlsx(path, sheets):
    """sheets: (name, worksheet xml) pairs, written as Excel lays out a workbook."""
    names = "".join('<sheet name="%s" sheetId="%d" r:id="rId%d"/>' % (escape(n), i, i)
                    for i, (n, _) in enumerate(sheets, start=1))
    rels = "".join('<Relationship Id="rId%d" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                   'relationships/worksheet" Target="worksheets/sheet%d.xml"/>' % (i, i)
                   for i in range(1, len(sheets) + 1))
    n = len(sheets)
    rels += ('<Relationship Id="rId%d" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
             'styles" Target="styles.xml"/><Relationship Id="rId%d" Type="http://schemas.openxmlformats.org/'
             'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>' % (n + 1, n + 2))
    overrides = "".join('<Override PartName="/xl/worksheets/sheet%d.xml" ContentType="application/'
                        'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>' % i
                        for i in range(1, n + 1))
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml",
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                   '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                   '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                   '<Default Extension="xml" ContentType="application/xml"/>'
                   '<Override PartName="/xl/workbook.xml" ContentType="application/'
                   'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>%s'
                   '<Override PartName="/xl/styles.xml" ContentType="application/'
                   'vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
                   '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
                   'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>' % overrides)
        z.writestr("_rels/.rels",
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                   'relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>')
        z.writestr("xl/workbook.xml",
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                   '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                   'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
                   '<sheets>%s</sheets></workbook>' % names)
        z.writestr("xl/_rels/workbook.xml.rels",
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">%s'
                   '</Relationships>' % rels)
        z.writestr("xl/styles.xml", STYLES)
        for i, sheet in enumerate(sheets, start=1):
            z.writestr("xl/worksheets/sheet%d.xml" % i, sheet[1])
        z.writestr("xl/sharedStrings.xml", STRINGS.xml())


STRINGS = Strings()


def shop_xlsx(folder):
    global STRINGS
    STRINGS = Strings()
    instructions = sheet_xml([[("s", t)] for t in INSTRUCTIONS], STRINGS)
    orders = sheet_xml([[("s", TITLE)], [("s", h) for h in HEADER]] + ROWS, STRINGS,
                       merge="A1:%s1" % column(len(HEADER) - 1))
    write_xlsx(os.path.join(folder, "shop.xlsx"), [("说明", instructions), ("订单", orders)])


def huge_xlsx(folder):
    """A contact sheet with a stray value in the last row Excel has, and one
    with a cell of 100,000 characters."""
    global STRINGS
    STRINGS = Strings()
    rows = [[("s", "姓名"), ("s", "电话"), ("s", "地址")], [("s", "张三"), ("s", "111"), ("s", "北京市朝阳区")]]
    stray = '<row r="1048576"><c r="A1048576" t="s"><v>%d</v></c></row>' % STRINGS.add("末行")
    write_xlsx(os.path.join(folder, "tall.xlsx"), [("Sheet1", sheet_xml(rows, STRINGS, extra=stray))])
    STRINGS = Strings()
    rows = [[("s", "姓名"), ("s", "电话"), ("s", "地址"), ("s", "备注")],
            [("s", "张三"), ("s", "111"), ("s", "北京市朝阳区"), ("s", "长" * 100000)],
            [("s", "李四"), ("s", "222"), ("s", "上海市黄浦区"), ("s", "短")]]
    write_xlsx(os.path.join(folder, "bigcell.xlsx"), [("Sheet1", sheet_xml(rows, STRINGS))])


def csv_rows():
    lines = [TITLE + "," * (len(HEADER) - 1), ",".join(HEADER)]
    for row in ROWS:
        if row is None:
            lines.append("," * (len(HEADER) - 1))
            continue
        cells = []
        for cell in row:
            t = text_of(cell)
            if "," in t or '"' in t:
                t = '"%s"' % t.replace('"', '""')
            cells.append(t)
        lines.append(",".join(cells))
    return "\r\n".join(lines) + "\r\n"


def shop_csv(folder):
    with open(os.path.join(folder, "shop-gbk.csv"), "wb") as f:
        f.write(csv_rows().encode("gbk"))
    with open(os.path.join(folder, "shop-bom.csv"), "wb") as f:
        f.write(b"\xef\xbb\xbf" + csv_rows().encode("utf-8"))


def html_cell(cell):
    if cell is None:
        return "<td></td>"
    if not isinstance(cell[0], int) and (cell[0].startswith("p") or cell[0] == "f"):
        # Web exports mark digits that must stay text with a number format of text.
        value = text_of(cell) if cell[0] != "f" else cell[1]
        return '<td class="text">%s</td>' % escape(value)
    return "<td>%s</td>" % escape(text_of(cell))


def shop_html(folder):
    rows = ['<tr><td colspan="%d">%s</td></tr>' % (len(HEADER), escape(TITLE)),
            "<tr>%s</tr>" % "".join("<td>%s</td>" % escape(h) for h in HEADER)]
    for row in ROWS:
        rows.append("<tr>%s</tr>" % ("".join(html_cell(c) for c in row) if row else "<td></td>" * len(HEADER)))
    page = ('<html xmlns:o="urn:schemas-microsoft-com:office:office" '
            'xmlns:x="urn:schemas-microsoft-com:office:excel">\n<head><meta http-equiv="Content-Type" '
            'content="text/html; charset=utf-8"><style>.text{mso-number-format:"\\@";}</style></head>\n'
            '<body><table border="1">\n%s\n</table></body></html>\n' % "\n".join(rows))
    with open(os.path.join(folder, "shop-html.xls"), "w", encoding="utf-8") as f:
        f.write(page)


def xml_cell(cell):
    if cell is None:
        return "<Cell/>"
    if isinstance(cell[0], int):
        return ('<Cell ss:StyleID="date"><Data ss:Type="DateTime">%04d-%02d-%02dT00:00:00.000</Data></Cell>'
                % cell)
    kind, value = cell
    if kind.startswith("p"):
        return '<Cell ss:StyleID="%s"><Data ss:Type="Number">%d</Data></Cell>' % (kind, value)
    if kind == "n":
        return '<Cell><Data ss:Type="Number">%d</Data></Cell>' % value
    if kind == "f":
        return '<Cell ss:Formula="=&quot;%s&quot;"><Data ss:Type="String">%s</Data></Cell>' % (value, value)
    return '<Cell><Data ss:Type="String">%s</Data></Cell>' % escape(str(value))


def shop_xml2003(folder):
    def table(rows):
        out = []
        for row in rows:
            out.append("<Row/>" if row is None else "<Row>%s</Row>" % "".join(row))
        return "<Table>%s</Table>" % "".join(out)
    title = ['<Cell ss:MergeAcross="%d"><Data ss:Type="String">%s</Data></Cell>' % (len(HEADER) - 1,
                                                                                      escape(TITLE))]
    header = ['<Cell><Data ss:Type="String">%s</Data></Cell>' % escape(h) for h in HEADER]
    body = [[xml_cell(c) for c in row] if row else None for row in ROWS]
    instructions = [['<Cell><Data ss:Type="String">%s</Data></Cell>' % escape(t)] for t in INSTRUCTIONS]
    book = ('<?xml version="1.0" encoding="UTF-8"?>\n<?mso-application progid="Excel.Sheet"?>\n'
            '<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" '
            'xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">\n<Styles>'
            '<Style ss:ID="p11"><NumberFormat ss:Format="00000000000"/></Style>'
            '<Style ss:ID="p6"><NumberFormat ss:Format="000000"/></Style>'
            '<Style ss:ID="date"><NumberFormat ss:Format="Short Date"/></Style></Styles>\n'
            '<Worksheet ss:Name="说明">%s</Worksheet>\n<Worksheet ss:Name="订单">%s</Worksheet>\n</Workbook>\n'
            % (table(instructions), table([title, header] + body)))
    with open(os.path.join(folder, "shop-2003.xls"), "w", encoding="utf-8") as f:
        f.write(book)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    shop_xlsx(folder)
    huge_xlsx(folder)
    shop_csv(folder)
    shop_html(folder)
    shop_xml2003(folder)


if __name__ == "__main__":
    main()
