#!/usr/bin/python3
"""Builds the one-file page saberline.html.

The controls of the four screens come from the window's stored layout
ui/Unit1.ui: names (element ids), captions, initial texts, maximum lengths,
enabled flags, keyboard order, positions, sizes, fonts and colours. The site
address comes from ui/Unit1.h. Pictures are inlined from assets/, the core's
WebAssembly and its loader from the emscripten build, and the page's own
template, style and script from web/. The result makes no network request.
"""

import argparse
import base64
import html
import json
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

FONT_FAMILY = 'Tahoma, Verdana, "DejaVu Sans Condensed", sans-serif'
# Qt's "no limit" for a line edit: such a field gets no maxlength.
NO_LIMIT = 32767
# Pictures above this many bytes are re-encoded for the page.
LARGE_PICTURE = 20000


def prop(widget, name):
    for p in widget.findall('property'):
        if p.get('name') == name:
            return p[0]
    return None


def text_of(widget, name):
    p = prop(widget, name)
    return None if p is None else (p.text or '')


def rect_of(widget):
    r = prop(widget, 'geometry')
    return [int(r.find(k).text) for k in ('x', 'y', 'width', 'height')]


class Page:
    def __init__(self, ui, assets, site, convert):
        self.convert = convert
        self.root = ET.parse(ui).getroot()
        self.assets = assets
        self.site = site
        stops = [t.text for t in self.root.find('tabstops')]
        self.tab = {name: i + 1 for i, name in enumerate(stops)}
        self.css = []       # rules at every width
        self.wide = []      # rules of the window's own layout (760 px and wider)
        self.pictures = {}  # picture file -> selectors showing it

    def picture_data(self, path):
        """The large pictures travel as WebP (about a third of the JPEG's
        size at the same look); small ones as they are."""
        with open(path, 'rb') as f:
            data = f.read()
        if len(data) < LARGE_PICTURE or not self.convert:
            return 'image/jpeg', data
        webp = subprocess.run([self.convert, path, '-strip', '-quality', '60', 'webp:-'],
                              check=True, stdout=subprocess.PIPE).stdout
        return 'image/webp', webp

    def font_rule(self, widget, inherited):
        font = prop(widget, 'font')
        size = prop(widget, 'pixelSize')
        colour = prop(widget, 'textColor')
        if font is None and size is None and colour is None:
            return inherited
        f = dict(inherited)
        if font is not None:
            for key in ('bold', 'italic', 'underline'):
                node = font.find(key)
                if node is not None:
                    f[key] = node.text == 'true'
        if size is not None:
            f['size'] = int(size.text)
        if colour is not None:
            f['colour'] = colour.text
        return f

    @staticmethod
    def font_css(f):
        return ('font: %s%s%dpx %s; color: %s; text-decoration: %s;' % (
            'italic ' if f['italic'] else '', 'bold ' if f['bold'] else 'normal ', f['size'],
            FONT_FAMILY, f['colour'], 'underline' if f['underline'] else 'none'))

    def widget(self, w, font, out, depth):
        cls = w.get('class')
        name = w.get('name')
        pad = '  ' * depth
        f = self.font_rule(w, font)
        sel = '#' + name
        self.css.append('%s { %s }' % (sel, self.font_css(f)))
        x, y, width, height = rect_of(w)
        auto = text_of(w, 'autoSize') == 'true'
        if auto:
            self.wide.append('%s { left: %dpx; top: %dpx; }' % (sel, x, y))
        else:
            self.wide.append('%s { left: %dpx; top: %dpx; width: %dpx; height: %dpx; }' % (sel, x, y, width, height))
        tab = self.tab.get(name)
        tabattr = ' tabindex="%d"' % tab if tab else ''
        disabled = ' disabled' if text_of(w, 'enabled') == 'false' else ''
        esc = lambda s: html.escape(s or '', quote=True)

        if cls == 'QFrame':
            out.append('%s<section id="%s" class="screen">' % (pad, name))
            for child in w.findall('widget'):
                self.widget(child, f, out, depth + 1)
            out.append('%s</section>' % pad)
        elif cls == 'QGroupBox':
            out.append('%s<div id="%s" class="group" role="group" aria-labelledby="%s-title">' % (pad, name, name))
            out.append('%s  <span class="title" id="%s-title">%s</span>' % (pad, name, esc(text_of(w, 'title'))))
            for child in w.findall('widget'):
                self.widget(child, f, out, depth + 1)
            out.append('%s</div>' % pad)
        elif cls in ('QLabel', 'ClickLabel') and prop(w, 'pixmap') is not None:
            picture = prop(w, 'pixmap').text.split('/')[-1]
            align = text_of(w, 'alignment') or ''
            self.pictures.setdefault(picture, []).append(sel)
            place = 'center' if 'AlignCenter' in align else 'left top'
            self.css.append('%s { background-position: %s; }' % (sel, place))
            out.append('%s<div id="%s" class="picture" role="img" aria-hidden="true"></div>' % (pad, name))
        elif cls == 'ClickLabel':
            cursor = 'pointer' if text_of(w, 'cursor') == 'PointingHandCursor' else 'auto'
            self.css.append('%s { cursor: %s; }' % (sel, cursor))
            out.append('%s<a id="%s" class="label link" href="%s" target="_blank" rel="noopener noreferrer">%s</a>'
                       % (pad, name, esc(self.site), esc(text_of(w, 'text'))))
        elif cls == 'QLabel':
            kind = 'label auto' if auto else 'label fixed'
            if 'AlignHCenter' in (text_of(w, 'alignment') or ''):
                kind += ' centred'
            out.append('%s<div id="%s" class="%s">%s</div>' % (pad, name, kind, esc(text_of(w, 'text'))))
        elif cls == 'QLineEdit':
            limit = text_of(w, 'maxLength')
            maxlength = ' maxlength="%s"' % limit if limit and int(limit) < NO_LIMIT else ''
            value = text_of(w, 'text')
            out.append('%s<input type="text" id="%s" class="edit" value="%s"%s%s%s spellcheck="false" autocomplete="off">'
                       % (pad, name, esc(value), maxlength, disabled, tabattr))
        elif cls == 'QPushButton':
            out.append('%s<button type="button" id="%s" class="button"%s%s>%s</button>'
                       % (pad, name, disabled, tabattr, esc(text_of(w, 'text'))))
        elif cls == 'QRadioButton':
            checked = ' checked' if text_of(w, 'checked') == 'true' else ''
            group = re.sub(r'\d+$', '', name)
            out.append('%s<label id="%s-box" class="radio"><input type="radio" id="%s" name="%s"%s%s%s>%s</label>'
                       % (pad, name, name, group, checked, disabled, tabattr, esc(text_of(w, 'text'))))
            # The position belongs to the radio's box (button and caption).
            self.wide[-1] = self.wide[-1].replace(sel + ' ', sel + '-box ', 1)
            self.css[-1] = self.css[-1].replace(sel + ' ', sel + '-box ', 1)
        elif cls == 'QCheckBox':
            checked = ' checked' if text_of(w, 'checked') == 'true' else ''
            out.append('%s<input type="checkbox" id="%s" class="check"%s%s%s>' % (pad, name, checked, disabled, tabattr))
        else:
            sys.exit('make_page: no element for %s %s' % (cls, name))

    def build(self):
        form = self.root.find('widget')
        font = {'bold': False, 'italic': False, 'underline': False, 'size': 13, 'colour': '#000000'}
        font = self.font_rule(form, font)
        x, y, width, height = rect_of(form)
        self.css.append('#Form1 { %s }' % self.font_css(font))
        self.wide.append('#Form1 { width: %dpx; height: %dpx; }' % (width, height))
        out = []
        client = form.find('widget')
        for panel in client.findall('widget'):
            self.widget(panel, font, out, 2)
            if panel.get('name') == 'BattlePanel':
                # The page's additions to the duel screen stand just below it.
                px, py, pw, ph = rect_of(panel)
                self.wide.append('#DuelExtras { left: %dpx; top: %dpx; width: %dpx; }' % (px, py + ph + px, pw))
        for picture, selectors in self.pictures.items():
            kind, data = self.picture_data('%s/%s' % (self.assets, picture))
            self.css.append('%s { background-image: url(data:%s;base64,%s); }'
                            % (', '.join(selectors), kind, base64.b64encode(data).decode('ascii')))
        title = text_of(form, 'windowTitle')
        return title, '\n'.join(out)


def script_text(path):
    with open(path, encoding='utf-8') as f:
        text = f.read()
    # Nothing inside a script element may close it.
    return text.replace('</script', '<\\/script')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--ui', required=True)
    ap.add_argument('--window-header', required=True)
    ap.add_argument('--assets', required=True)
    ap.add_argument('--template', required=True)
    # Several styles and scripts (the page's, then the fair duel's) go in in order.
    ap.add_argument('--style', required=True, action='append')
    ap.add_argument('--script', required=True, action='append')
    ap.add_argument('--module', required=True)
    ap.add_argument('--wasm', required=True)
    ap.add_argument('--icon', required=True)
    ap.add_argument('--convert', help='ImageMagick convert, to write the large pictures as WebP')
    ap.add_argument('-o', '--output', required=True)
    a = ap.parse_args()

    with open(a.window_header, encoding='utf-8') as f:
        site = re.search(r'kSiteAddress\s*=\s*"([^"]+)"', f.read()).group(1)
    page = Page(a.ui, a.assets, site, a.convert)
    title, screens = page.build()
    style = ''
    for path in a.style:
        with open(path, encoding='utf-8') as f:
            style += f.read()
    css = '\n'.join(page.css) + '\n@media (min-width: 760px) {\n' + '\n'.join(page.wide) + '\n}\n' + style
    with open(a.wasm, 'rb') as f:
        wasm = base64.b64encode(f.read()).decode('ascii')
    with open(a.icon, 'rb') as f:
        icon = base64.b64encode(f.read()).decode('ascii')
    with open(a.template, encoding='utf-8') as f:
        template = f.read()
    parts = {
        'TITLE': html.escape(title),
        'ICON': 'data:image/png;base64,' + icon,
        'STYLE': css,
        'SCREENS': screens,
        'MODULE': script_text(a.module),
        'WASM': wasm,
        'SCRIPT': '\n'.join(script_text(path) for path in a.script),
    }
    result = re.sub(r'@@(\w+)@@', lambda m: parts[m.group(1)], template)
    with open(a.output, 'w', encoding='utf-8') as f:
        f.write(result)


if __name__ == '__main__':
    main()
