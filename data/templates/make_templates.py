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
    """The default waybill: a courier's consignment note in the top half of an A4 page.

    The waybill number stands as a Code-39 barcode at the top right with the
    number under it; the service (express kind), the freight and the pay way
    are in the payment block."""
    s = Sheet("面单", [20, 28, 18, 29, 20, 28, 18, 29], [12, 6] + [7] * 18 + [8, 8, 5])
    s.put("A1", "Quarvel 快递  快件运单\nEXPRESS WAYBILL", "title", "A1:D2")
    s.put("E1", "运单号\nWaybill No.", "caption", "E1:E2")
    s.put("F1", "", "barcode-top", "F1:H1")
    s.put("F2", "", "number-under", "F2:H2")
    cells = [("内单号39码", "F1"), ("内部单号", "F2")]
    top = [("A3", "业务日期 Date", "B3", "业务日期"), ("C3", "快递类别 Service", "D3", "网络渠道"),
           ("E3", "出发地 Origin", "F3", "出发地"), ("G3", "目的地 Dest.", "H3", "目的地"),
           ("A4", "客户帐号 Account", "B4", "客户帐号"), ("C4", "所属部门 Dept.", "D4", "所属部门"),
           ("E4", "目的地编码 Code", "F4", "目的地编码"), ("G4", "目的地英文", "H4", "目的地英文")]
    for caption_ref, caption, value_ref, name in top:
        caption_value(s, caption_ref, caption, value_ref)
        cells.append((name, value_ref))
    s.put("H3", "", "big")
    cells += party(s, "A", "发件人  FROM / SHIPPER", "发件", 5)
    cells += party(s, "E", "收件人  TO / CONSIGNEE", "收件", 5)

    s.put("A13", "物品  GOODS", "section", "A13:D13")
    s.put("E13", "付款与费用  PAYMENT", "section", "E13:H13")
    caption_value(s, "A14", "物品描述 Contents", "B14", "B14:D15", style="value-wrap")
    s.put("A15", "", "caption")
    caption_value(s, "A16", "物品包装 Packing", "B16")
    caption_value(s, "C16", "件数 Pieces", "D16", style="value-centre")
    caption_value(s, "A17", "入重 Weight", "B17")
    caption_value(s, "C17", "称重 Weighed", "D17")
    caption_value(s, "A18", "声明价值 Declared", "B18")
    caption_value(s, "C18", "投保价值 Insured", "D18")
    caption_value(s, "A19", "托运备注 Note", "B19", "B19:D19")
    caption_value(s, "A20", "标签 Mark", "B20", "B20:D20")
    cells += [("物品描述", "B14"), ("物品包装", "B16"), ("件数", "D16"), ("入重", "B17"), ("称重", "D17"),
              ("声明价值", "B18"), ("投保价值", "D18"), ("托运备注", "B19"), ("标签", "B20")]

    checks = [("E14", "月结 Monthly", "F14", "月结√"), ("G14", "现付 Cash", "H14", "现付√"),
              ("E15", "到付 Collect", "F15", "到付√"), ("E17", "文件 Document", "F17", "文件√"),
              ("G17", "包裹 Parcel", "H17", "包裹√"), ("E18", "防水袋 Bag", "F18", "防水袋√")]
    for caption_ref, caption, value_ref, name in checks:
        caption_value(s, caption_ref, caption, value_ref, style="check")
        cells.append((name, value_ref))
    caption_value(s, "G15", "结算指示 Bill to", "H15")
    caption_value(s, "E16", "运费 Freight", "F16", style="value-centre")
    caption_value(s, "G16", "代收货款 COD", "H16")
    caption_value(s, "G18", "到付运费 To collect", "H18")
    caption_value(s, "E19", "发件短信 SMS", "F19")
    caption_value(s, "G19", "收件短信 SMS", "H19")
    caption_value(s, "E20", "发件邮箱 E-mail", "F20")
    caption_value(s, "G20", "收件邮箱 E-mail", "H20")
    cells += [("结算指示", "H15"), ("收客户费", "F16"), ("代收货款", "H16"), ("到付运费", "H18"),
              ("发件短信", "F19"), ("收件短信", "H19"), ("发件邮箱", "F20"), ("收件邮箱", "H20")]
    s.put("A21", "收件人签名 Received by:", "sign", "A21:D22")
    s.put("E21", "收件日期 Date / 时间 Time:", "sign", "E21:H22")
    s.put("A23", PAGE_NOTE, "note", "A23:H23")

    text = definition(["Quarvel 默认面单：A4 纸上半页，一票一张。",
                       "列表定义中每行为 打印项名称=单元格，打印项名称见程序的打印项目表；",
                       "内单号39码 用 Code-39 条码字体打印运单号，网络渠道 为快递类别。"],
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
    """The default label sheet: 2 x 5 labels of 97 x 56 mm on A4; the cells of the first label are listed.

    Each label is framed, with its barcode at the top and the number under
    it. The frame and the captions show only on a label whose number cell is
    filled, so the unused positions of a sheet print nothing: captions are
    formulas on the number cell, and the frame lines are drawn under that
    condition by thin empty rows and columns around the label (and two rules
    inside it)."""
    thin = 0.3
    label_columns = [thin, 24, 24, 24, 24, thin]
    # top edge, barcode, number, rule, destination, TO, address 1 and 2, rule,
    # FROM, pieces and weight, the last line, bottom edge
    label_rows = [thin, 11, 5, 0.4, 7, 7, 5.5, 5.5, 0.4, 5.6, 4, 4, thin]
    gap_across, gap_down = 4, 1
    widths = label_columns + [gap_across] + label_columns
    heights = []
    for band in range(5):
        heights += label_rows
        if band < 4:
            heights.append(gap_down)
    s = Sheet("标签", widths, heights, margins_mm=5)
    last_row = len(label_rows) - 1
    for band in range(5):
        for across in range(2):
            first_column = 1 + across * (len(label_columns) + 1)
            first_row = 1 + band * (len(label_rows) + 1)

            def at(column, row):
                """Column 0..5 and row 0..12 of this label (0 and the last are its edges)."""
                return "%s%d" % (chr(64 + first_column + column), first_row + row)

            def span(row, first=1, last=4):
                return "%s:%s" % (at(first, row), at(last, row))

            number_cell = "$%s$%d" % (chr(64 + first_column + 1), first_row + 2)
            filled = '%s<>""' % number_cell

            def caption(column, row, text):
                s.put(at(column, row), "", "label-caption", formula='IF([.%s]="";"";"%s")' % (number_cell, text))

            s.put(at(1, 1), "", "label-barcode", span(1))
            s.put(at(1, 2), "", "label-number", span(2))
            s.put(at(1, 4), "", "label-big", span(4, 1, 2))
            s.put(at(3, 4), "", "label-big", span(4, 3, 4))
            caption(1, 5, "收 TO")
            s.put(at(2, 5), "", "label-value", span(5, 2, 3))
            s.put(at(4, 5), "", "label-value")
            s.put(at(1, 6), "", "label-value", span(6))
            s.put(at(1, 7), "", "label-value", span(7))
            caption(1, 9, "发 FROM")
            s.put(at(2, 9), "", "label-value", span(9, 2, 3))
            s.put(at(4, 9), "", "label-value")
            caption(1, 10, "件数 Pcs")
            s.put(at(2, 10), "", "label-small")
            caption(3, 10, "重量 Weight")
            s.put(at(4, 10), "", "label-small")
            for column in range(1, 5):
                s.put(at(column, 11), "", "label-small")
            s.frame_when(span(0), "LineBottom", filled)
            s.frame_when(span(last_row), "LineTop", filled)
            s.frame_when("%s:%s" % (at(0, 1), at(0, last_row - 1)), "LineRight", filled)
            s.frame_when("%s:%s" % (at(5, 1), at(5, last_row - 1)), "LineLeft", filled)
            for rule in (3, 8):
                s.frame_when(span(rule), "LineTop", filled)
    cells = [("内单号39码", "B2"), ("内部单号", "B3"), ("目的地", "B5"), ("网络渠道", "D5"), ("收件人", "C6"),
             ("收件电话", "E6"), ("收件地址1", "B7"), ("收件地址2", "B8"), ("发件人", "C10"), ("发件电话", "E10"),
             ("件数", "C11"), ("入重", "E11"), ("文件√", "B12"), ("月结√", "C12"), ("标签", "D12"),
             ("业务日期", "E12")]
    keys = [("横向标签个数", 2), ("纵向标签个数", 5), ("横向每标签占有栏数", len(label_columns)),
            ("标签横向间隔栏数", 1), ("纵向每标签占有行数", len(label_rows)), ("标签纵向间隔行数", 1),
            ("全部转换大写", 0), ("换行转空格", 1)]
    sections = [("发件人定义", "[发件人] [单位]"), ("收件人定义", "[收件人] [单位]")]
    text = definition(["Quarvel 默认标签：A4 纸 2 x 5 张标签，列表定义为左上第一张标签的单元格。",
                       "内单号39码 用 Code-39 条码字体打印运单号，运单号印在条码下方；",
                       "标签的框线与说明文字只在该标签的运单号格有内容时才印出。"],
                      list_cells=cells, keys=keys, sections=sections)
    return "LBL_默认标签", s, text


def manifest():
    """The hand-over manifest of a counter day: a header with the day's totals,
    one line per shipment from row 6 down, then the program adds a totals line
    and the signature lines of the section 签字定义 under the last shipment."""
    # The first shipment's row keeps the height of those the program adds under it.
    s = Sheet("JJD", [12, 42, 40, 30, 16, 22], [12, 8, 8, 4, 9, None])
    s.put("A1", "Quarvel 快件交接单", "title", "A1:F1")
    header = [("A2", "交接日期", "B2"), ("C2", "账号", "D2"), ("E2", "打印时间", "F2"),
              ("A3", "票数", "B3"), ("C3", "件数", "D3"), ("E3", "重量(公斤)", "F3")]
    for caption_ref, caption, value_ref in header:
        caption_value(s, caption_ref, caption, value_ref)
    heads = ["序号", "运单号", "目的地", "快递类别", "件数", "重量(公斤)"]
    for i, text in enumerate(heads):
        s.put("%s5" % chr(65 + i), text, "head")
    for i in range(len(heads)):
        s.put("%s6" % chr(65 + i), "", "plain")
    # A day of many shipments takes many pages: each one starts with the column heads.
    s.repeat_rows(5, 5)
    cells = [("交接日期", "B2"), ("账号", "D2"), ("打印时间", "F2"), ("合计票数", "B3"), ("合计件数", "D3"),
             ("合计重量", "F3"), ("明细序号", "A6"), ("明细运单号", "B6"), ("明细目的地", "C6"),
             ("明细快递类别", "D6"), ("明细件数", "E6"), ("明细重量", "F6")]
    sections = [("签字定义", "交件人(柜台)签字：________________    日期：____________\r\n"
                             "收件人(快递员)签字：______________    日期：____________")]
    text = definition(["Quarvel 默认交接单：当日已上传、随车交接的快件，每票一行，自明细格所在行向下；",
                       "程序在最后一票下面写合计行，再空一行写 签字定义 的每一行。"],
                      list_cells=cells, sections=sections)
    return "JJD_默认交接单", s, text


def write(folder, name, sheet, text):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".fods"), "w", encoding="utf-8") as f:
        f.write(sheet.fods())
    with open(os.path.join(folder, name + ".txt"), "wb") as f:
        f.write(text.encode("gbk"))


def main(out):
    for make in (waybill, invoice, label, manifest):
        write(os.path.join(out, "DATA_MODEL"), *make())
    write(os.path.join(out, "demo-templates"), *simple_waybill())


if __name__ == "__main__":
    main(sys.argv[1])
