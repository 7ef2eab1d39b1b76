#!/usr/bin/python3
"""The templates the program ships, as sources: each form's layout and its
definition text (which cell receives which print field) are written here
side by side, so that a cell address can never disagree with the layout.

    make_templates.py OUTDIR

writes, for every template, PREFIX_NAME.fods (the layout, turned into .xls
by the office at build time) and PREFIX_NAME.txt (the definition text, GBK
with CR LF line ends, as the client reads it). The default templates go to
OUTDIR/DATA_MODEL, the extra layout served by the demo server to
OUTDIR/demo-templates.
"""
import os
import sys

from sheet import Sheet

PAGE_NOTE = "Quarvel Express · 客服热线 400-800-0000 · 请托运人仔细阅读背面契约条款，签字即表示同意。"


def definition(comment_lines, list_cells=(), keys=(), sections=(), free_lines=()):
    """The definition text: comments, numeric keys, named sections, the list section and free lines."""
    lines = ["# " + line for line in comment_lines]
    lines += ["%s=%s" % key for key in keys]
    for name, body in sections:
        lines += ["<%s开始>" % name, body, "<%s结束>" % name]
    if list_cells:
        lines.append("<列表定义开始>")
        lines += ["%s=%s" % cell for cell in list_cells]
        lines.append("<列表定义结束>")
    lines += list(free_lines)
    return "\r\n".join(lines) + "\r\n"


def caption_value(sheet, caption_ref, caption, value_ref, value_span=None, style="value"):
    sheet.put(caption_ref, caption, "caption")
    sheet.put(value_ref, "", style, value_span)


def party(sheet, first_column, title, prefix, row):
    """Name, phone, company, three address lines, city, province, country and postcode of one side."""
    c = [chr(ord(first_column) + i) for i in range(4)]
    cells = []
    sheet.put("%s%d" % (c[0], row), title, "section", "%s%d:%s%d" % (c[0], row, c[3], row))
    caption_value(sheet, "%s%d" % (c[0], row + 1), "姓名 Name", "%s%d" % (c[1], row + 1))
    caption_value(sheet, "%s%d" % (c[2], row + 1), "电话 Tel", "%s%d" % (c[3], row + 1))
    cells += [(prefix + "人", "%s%d" % (c[1], row + 1)), (prefix + "电话", "%s%d" % (c[3], row + 1))]
    caption_value(sheet, "%s%d" % (c[0], row + 2), "单位 Company", "%s%d" % (c[1], row + 2),
                  "%s%d:%s%d" % (c[1], row + 2, c[3], row + 2))
    cells.append((prefix + "单位", "%s%d" % (c[1], row + 2)))
    sheet.put("%s%d" % (c[0], row + 3), "地址 Address", "caption", "%s%d:%s%d" % (c[0], row + 3, c[0], row + 5))
    for i in range(3):
        r = row + 3 + i
        sheet.put("%s%d" % (c[1], r), "", "value", "%s%d:%s%d" % (c[1], r, c[3], r))
        cells.append(("%s地址%d" % (prefix, i + 1), "%s%d" % (c[1], r)))
    caption_value(sheet, "%s%d" % (c[0], row + 6), "城市 City", "%s%d" % (c[1], row + 6))
    caption_value(sheet, "%s%d" % (c[2], row + 6), "省州 State", "%s%d" % (c[3], row + 6))
    caption_value(sheet, "%s%d" % (c[0], row + 7), "国家 Country", "%s%d" % (c[1], row + 7))
    caption_value(sheet, "%s%d" % (c[2], row + 7), "邮编 Postcode", "%s%d" % (c[3], row + 7))
    cells += [(prefix + "城市", "%s%d" % (c[1], row + 6)), (prefix + "省州", "%s%d" % (c[3], row + 6)),
              (prefix + "国家", "%s%d" % (c[1], row + 7)), (prefix + "邮编", "%s%d" % (c[3], row + 7))]
    return cells


def waybill():
    """The default waybill: a courier's consignment note in the top half of an A4 page."""
    s = Sheet("面单", [20, 28, 18, 29, 20, 28, 18, 29], [13] + [7] * 18 + [8, 8, 5])
    s.put("A1", "Quarvel 快递  快件运单\nEXPRESS WAYBILL", "title", "A1:D1")
    s.put("E1", "运单号\nWaybill No.", "caption")
    s.put("F1", "", "number", "F1:H1")
    cells = [("内部单号", "F1")]
    top = [("A2", "业务日期 Date", "B2", "业务日期"), ("C2", "快件类型 Type", "D2", "快件类型"),
           ("E2", "出发地 Origin", "F2", "出发地"), ("G2", "目的地 Dest.", "H2", "目的地"),
           ("A3", "客户帐号 Account", "B3", "客户帐号"), ("C3", "所属部门 Dept.", "D3", "所属部门"),
           ("E3", "目的地编码 Code", "F3", "目的地编码"), ("G3", "目的地英文", "H3", "目的地英文")]
    for caption_ref, caption, value_ref, name in top:
        caption_value(s, caption_ref, caption, value_ref)
        cells.append((name, value_ref))
    s.put("H2", "", "big")
    cells += party(s, "A", "发件人  FROM / SHIPPER", "发件", 4)
    cells += party(s, "E", "收件人  TO / CONSIGNEE", "收件", 4)

    s.put("A12", "物品  GOODS", "section", "A12:D12")
    s.put("E12", "付款与费用  PAYMENT", "section", "E12:H12")
    caption_value(s, "A13", "物品描述 Contents", "B13", "B13:D14", style="value-wrap")
    s.put("A14", "", "caption")
    caption_value(s, "A15", "物品包装 Packing", "B15")
    caption_value(s, "C15", "件数 Pieces", "D15", style="value-centre")
    caption_value(s, "A16", "入重 Weight", "B16")
    caption_value(s, "C16", "称重 Weighed", "D16")
    caption_value(s, "A17", "声明价值 Declared", "B17")
    caption_value(s, "C17", "投保价值 Insured", "D17")
    caption_value(s, "A18", "托运备注 Note", "B18", "B18:D18")
    caption_value(s, "A19", "标签 Mark", "B19", "B19:D19")
    cells += [("物品描述", "B13"), ("物品包装", "B15"), ("件数", "D15"), ("入重", "B16"), ("称重", "D16"),
              ("声明价值", "B17"), ("投保价值", "D17"), ("托运备注", "B18"), ("标签", "B19")]

    checks = [("E13", "月结 Monthly", "F13", "月结√"), ("G13", "现付 Cash", "H13", "现付√"),
              ("E14", "到付 Collect", "F14", "到付√"), ("E16", "文件 Document", "F16", "文件√"),
              ("G16", "包裹 Parcel", "H16", "包裹√"), ("E17", "防水袋 Bag", "F17", "防水袋√")]
    for caption_ref, caption, value_ref, name in checks:
        caption_value(s, caption_ref, caption, value_ref, style="check")
        cells.append((name, value_ref))
    caption_value(s, "G14", "结算指示 Bill to", "H14")
    caption_value(s, "E15", "到付运费 Freight", "F15")
    caption_value(s, "G15", "代收货款 COD", "H15")
    caption_value(s, "G17", "快件类型 Item", "H17", style="value-centre")
    caption_value(s, "E18", "发件短信 SMS", "F18")
    caption_value(s, "G18", "收件短信 SMS", "H18")
    caption_value(s, "E19", "发件邮箱 E-mail", "F19")
    caption_value(s, "G19", "收件邮箱 E-mail", "H19")
    cells += [("结算指示", "H14"), ("到付运费", "F15"), ("代收货款", "H15"), ("发件短信", "F18"),
              ("收件短信", "H18"), ("发件邮箱", "F19"), ("收件邮箱", "H19")]
    s.put("A20", "收件人签名 Received by:", "sign", "A20:D21")
    s.put("E20", "收件日期 Date / 时间 Time:", "sign", "E20:H21")
    s.put("A22", PAGE_NOTE, "note", "A22:H22")

    text = definition(["Quarvel 默认面单：A4 纸上半页，一票一张。",
                       "列表定义中每行为 打印项名称=单元格，打印项名称见程序的打印项目表。"],
                      list_cells=cells)
    return "TAB_默认面单", s, text


def simple_waybill():
    """A plainer waybill the demo server offers for download: the essentials, larger type."""
    s = Sheet("简易面单", [30, 65, 30, 65], [14, 9, 9, 14, 9, 9, 14, 9, 9, 9])
    s.put("A1", "Quarvel 快递  简易运单", "title", "A1:C1")
    s.put("D1", "", "number")
    caption_value(s, "A2", "目的地 Dest.", "B2", style="big")
    caption_value(s, "C2", "业务日期 Date", "D2")
    s.put("A3", "收件人 TO", "section", "A3:D3")
    caption_value(s, "A4", "收件人 Name", "B4")
    caption_value(s, "C4", "电话 Tel", "D4")
    caption_value(s, "A5", "地址 Address", "B5", "B5:D6")
    s.put("A6", "", "caption")
    s.put("A7", "发件人 FROM", "section", "A7:D7")
    caption_value(s, "A8", "发件人 Name", "B8")
    caption_value(s, "C8", "电话 Tel", "D8")
    caption_value(s, "A9", "件数 Pieces", "B9")
    caption_value(s, "C9", "入重 Weight", "D9")
    caption_value(s, "A10", "物品 Contents", "B10", "B10:D10")
    cells = [("内部单号", "D1"), ("目的地", "B2"), ("业务日期", "D2"), ("收件人", "B4"), ("收件电话", "D4"),
             ("收件地址", "B5"), ("发件人", "B8"), ("发件电话", "D8"), ("件数", "B9"), ("入重", "D9"),
             ("物品描述", "B10")]
    return "TAB_简易面单", s, definition(["Quarvel 简易面单：只印收发件人与物品的要点。"], list_cells=cells)


def invoice():
    """The default proforma invoice: English and Chinese captions, a goods table of ten lines."""
    heights = [14, 4] + [7] * 3 + [4] + [7] * 3 + [12] + [7] * 5 + [4, 2, 10] + [7] * 10 + [8, 4, 12, 4, 10]
    s = Sheet("Invoice", [25, 50, 20, 25, 30, 40], heights)
    s.put("A1", "PROFORMA INVOICE  形式发票", "title", "A1:F1")
    lines = []
    header = [(3, "Waybill No.\n运单号", "运单号", "Date\n打印日期", "打印日期"),
              (4, "Ship Date\n寄件日期", "寄件日期", "Pieces\n件数", "快件件数"),
              (5, "Weight\n重量", "快件重量", "Dimensions\n尺寸", "快件尺寸")]
    for row, left, left_name, right, right_name in header:
        caption_value(s, "A%d" % row, left, "B%d" % row, "B%d:C%d" % (row, row))
        caption_value(s, "D%d" % row, right, "E%d" % row, "E%d:F%d" % (row, row))
        lines += ["%s %s=B%d" % (left_name, left.split("\n")[0], row),
                  "%s %s=E%d" % (right_name, right.split("\n")[0], row)]
    s.put("A7", "SHIPPER  寄件人", "section", "A7:C7")
    s.put("D7", "CONSIGNEE  收件人", "section", "D7:F7")
    parties = [("Company\n单位", "单位"), ("Name\n姓名", "姓名"), ("Address\n地址", "地址"), ("City\n城市", "城市"),
               ("State\n省州", "省州"), ("Postcode\n邮编", "邮编"), ("Country\n国家", "国家"), ("Phone\n电话", "电话")]
    for i, (caption, name) in enumerate(parties):
        row = 8 + i
        caption_value(s, "A%d" % row, caption, "B%d" % row, "B%d:C%d" % (row, row))
        caption_value(s, "D%d" % row, caption, "E%d" % row, "E%d:F%d" % (row, row))
        lines += ["寄件人%s Shipper=B%d" % (name, row), "收件人%s Consignee=E%d" % (name, row)]
    heads = [("A18", "A18:B18", "Full Description of Goods  物品描述"), ("C18", None, "Qty\n数量"),
             ("D18", None, "Unit Value\n单价"), ("E18", None, "Origin\n原产地"), ("F18", None, "Amount\n小计")]
    for ref, span, text in heads:
        s.put(ref, text, "head", span)
    for row in range(19, 29):
        s.put("A%d" % row, "", "value", "A%d:B%d" % (row, row))
        for column in "CDEF":
            s.put("%s%d" % (column, row), "", "value-centre")
    lines += ["外文物品描述 Description=A19", "物品数量 Quantity=C19", "物品单价 Unit value=D19",
              "原产地 Country of origin=E19", "小计金额 Amount=F19"]
    s.put("E29", "Total 总计", "head")
    s.put("F29", "", "big")
    lines.append("总计金额 Total=F29")
    s.put("A31", "I declare that the above information is true and correct to the best of my knowledge.\n"
                 "本人保证以上内容真实无误。", "note", "A31:F31")
    s.put("A33", "Signature 签名:", "sign", "A33:C33")
    s.put("D33", "Date 日期:", "sign", "D33:F33")
    text = definition(["Quarvel 默认形式发票：每行为 名称=单元格，单元格为一个列字母加行号。",
                       "物品描述写为外文（外文物品描述），由程序的物品名称表翻译。"],
                      free_lines=lines)
    return "IVC_默认形式发票", s, text


def label():
    """The default label sheet: 2 x 5 labels of 97 x 56 mm on A4; the cells of the first label are listed."""
    widths = [24, 24, 24, 25, 4, 24, 24, 24, 25]
    heights = []
    for band in range(5):
        heights += [12, 8, 7, 6, 6, 7, 5, 5]
        if band < 4:
            heights.append(1)
    s = Sheet("标签", widths, heights, margins_mm=5)
    for band in range(5):
        for across in range(2):
            first = "A" if across == 0 else "F"
            c = [chr(ord(first) + i) for i in range(4)]
            r = 1 + band * 9

            def at(column, row_offset):
                return "%s%d" % (c[column], r + row_offset)

            s.put(at(0, 0), "", "barcode", "%s:%s" % (at(0, 0), at(3, 0)))
            s.put(at(0, 1), "", "big", "%s:%s" % (at(0, 1), at(1, 1)))
            s.put(at(2, 1), "", "big", "%s:%s" % (at(2, 1), at(3, 1)))
            s.put(at(0, 2), "收 TO", "caption")
            s.put(at(1, 2), "", "value", "%s:%s" % (at(1, 2), at(2, 2)))
            s.put(at(3, 2), "", "value")
            s.put(at(0, 3), "", "value", "%s:%s" % (at(0, 3), at(3, 3)))
            s.put(at(0, 4), "", "value", "%s:%s" % (at(0, 4), at(3, 4)))
            s.put(at(0, 5), "发 FROM", "caption")
            s.put(at(1, 5), "", "value", "%s:%s" % (at(1, 5), at(2, 5)))
            s.put(at(3, 5), "", "value")
            s.put(at(0, 6), "件数 Pcs", "caption")
            s.put(at(1, 6), "", "value-centre")
            s.put(at(2, 6), "重量 Weight", "caption")
            s.put(at(3, 6), "", "value-centre")
            for column in range(4):
                s.put(at(column, 7), "", "value-centre")
    cells = [("内单号39码", "A1"), ("内部单号", "A2"), ("目的地", "C2"), ("收件人", "B3"), ("收件电话", "D3"),
             ("收件地址1", "A4"), ("收件地址2", "A5"), ("发件人", "B6"), ("发件电话", "D6"), ("件数", "B7"),
             ("入重", "D7"), ("文件√", "A8"), ("月结√", "B8"), ("网络渠道", "C8"), ("业务日期", "D8")]
    keys = [("横向标签个数", 2), ("纵向标签个数", 5), ("横向每标签占有栏数", 4), ("标签横向间隔栏数", 1),
            ("纵向每标签占有行数", 8), ("标签纵向间隔行数", 1), ("全部转换大写", 0), ("换行转空格", 1)]
    sections = [("发件人定义", "[发件人] [单位]"), ("收件人定义", "[收件人] [单位]")]
    text = definition(["Quarvel 默认标签：A4 纸 2 x 5 张标签，列表定义为左上第一张标签的单元格。",
                       "内单号39码 用 Code-39 条码字体打印运单号。"],
                      list_cells=cells, keys=keys, sections=sections)
    return "LBL_默认标签", s, text


def write(folder, name, sheet, text):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".fods"), "w", encoding="utf-8") as f:
        f.write(sheet.fods())
    with open(os.path.join(folder, name + ".txt"), "wb") as f:
        f.write(text.encode("gbk"))


def main(out):
    for make in (waybill, invoice, label):
        write(os.path.join(out, "DATA_MODEL"), *make())
    write(os.path.join(out, "demo-templates"), *simple_waybill())


if __name__ == "__main__":
    main(sys.argv[1])
