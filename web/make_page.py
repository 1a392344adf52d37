#!/usr/bin/python3
"""Builds the one-file page saberline.html.

The controls of the four screens come from the window's stored layout
ui/Unit1.ui: names (element ids), captions, enabled flags, keyboard order,
positions, sizes, fonts and colours, the names and descriptions a screen
reader gives. What the core states comes from the core's facts (--facts,
printed by web/PageFacts.cpp): the start-up texts and maximum lengths of
the fields it reads, the odds' figures, the community site and the texts
the page shows; they are also written into the page for its script.
Pictures are inlined from assets/, the core's WebAssembly from the
emscripten build (the page's script loads it itself), and the page's own
template, style and script from web/. The result makes no network request.

Each screen's elements stand in the order they are seen (no tabindex), so
that the keyboard and a screen reader go through a screen as the eye does at
every width: rows of controls whose heights overlap, top to bottom, each row
left to right, a group box's controls together; a caption label T<name>
right before the control <name> it names. (The window keeps its own stored
keyboard order.) From 760 pixels wide every element still stands where the
window has it; below, the screens flow in one column in the same order.
Each screen has a heading the page moves the focus to when it shows the
screen: its first label, or one of the core's texts for a screen whose
window shows only a picture.
"""

import argparse
import base64
import codecs
import html
import json
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

FONT_FAMILY = 'Tahoma, Verdana, "DejaVu Sans Condensed", sans-serif'
# Pictures above this many bytes are re-encoded for the page.
LARGE_PICTURE = 20000
# The screen FormCreate leaves shown; the others start hidden.
START_SCREEN = 'BattlePanel'
# The heading of a screen whose window shows no text above its picture: the
# core's text of that name.
SCREEN_HEADINGS = {'HelpPanel': 'kHelpScreenHeading', 'AboutPanel': 'kAboutScreenHeading'}
# The page's additions below a screen of the window (page.html), and the
# controls of the screen they stand under from 760 pixels wide: the bottom
# of the screen, or of the control named.
SCREEN_EXTRAS = {'DuelExtras': ('BattlePanel', None), 'HelpExtras': ('HelpPanel', None),
                 'CalcExtras': ('PCalcOfBattleChars', 'MoveCarsOfBattlePanel')}
# The button face every text of the window stands on.
PANEL = '#f0f0f0'


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


# --- Contrast (WCAG 2.1) --------------------------------------------------------

def rgb_of(colour):
    return [int(colour[i:i + 2], 16) for i in (1, 3, 5)]


def luminance(rgb):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def readable(colour, large=False, background=PANEL):
    """The colour itself when it reads on the background at AA (4.5:1, or
    3:1 for large text), else the nearest shade of its hue that does: the
    colour mixed with as little black as passes."""
    need = 3.0 if large else 4.5
    rgb, back = rgb_of(colour), rgb_of(background)
    if contrast(rgb, back) >= need:
        return colour
    for step in range(1, 256):
        shade = [round(c * (255 - step) / 255) for c in rgb]
        if contrast(shade, back) >= need:
            return '#%02x%02x%02x' % tuple(shade)
    return '#000000'


def readable_css(css):
    """The page's own text colours made readable on the panel. Colours
    lighter than the panel stand on backgrounds of their own and stay."""
    def fix(m):
        colour = m.group(2)
        if luminance(rgb_of(colour)) >= luminance(rgb_of(PANEL)):
            return m.group(0)
        return m.group(1) + readable(colour)
    return re.sub(r'((?<![-\w])color:\s*)(#[0-9a-fA-F]{6})\b', fix, css)


class Page:
    def __init__(self, ui, assets, facts, convert):
        self.convert = convert
        self.root = ET.parse(ui).getroot()
        self.assets = assets
        self.facts = facts
        # The fields the core reads, and its results, by name.
        self.inputs = {f['name']: f for key in ('duelFields', 'forumFields', 'combatResults') for f in facts[key]}
        self.results = {r['name']: r for r in facts['duelResults']}
        stops = [t.text for t in self.root.find('tabstops')]
        self.tab = {name: i + 1 for i, name in enumerate(stops)}
        self.css = []       # rules at every width
        self.wide = []      # rules of the window's own layout (760 px and wider)
        self.narrow = []    # rules of the flowing layout (below 760 px)
        self.pictures = {}  # picture file -> (screen, selectors showing it)
        self.logs_above = {}  # control name -> the move logs above it in its container

    def picture_data(self, path, boxes):
        """The large pictures travel as WebP (about a fourth of the JPEG's
        size at the same look), cut to the part the one box showing them
        shows (from the top left, or around the centre); small ones as they
        are. The type, the data and the size of the part kept, if cut."""
        with open(path, 'rb') as f:
            data = f.read()
        if len(data) < LARGE_PICTURE or not self.convert:
            return 'image/jpeg', data, None
        command = [self.convert, path]
        kept = None
        if len(boxes) == 1:
            (width, height), centred = boxes[0]
            command += ['-gravity', 'center' if centred else 'northwest', '-crop', '%dx%d+0+0' % (width, height),
                        '+repage']
            kept = (width, height)
        command += ['-strip', '-quality', '50', '-define', 'webp:method=6', 'webp:-']
        webp = subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout
        return 'image/webp', webp, kept

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
        # WCAG's large text: 24 px, or 18.66 px (14 pt) bold.
        large = f['size'] >= 24 or (f['bold'] and f['size'] >= 18.66)
        return ('font: %s%s%dpx %s; color: %s; text-decoration: %s;' % (
            'italic ' if f['italic'] else '', 'bold ' if f['bold'] else 'normal ', f['size'],
            FONT_FAMILY, readable(f['colour'], large), 'underline' if f['underline'] else 'none'))

    # --- The order things are seen -----------------------------------------------

    def tab_key(self, w):
        """Whether the widget or a control inside it takes the focus in the
        window: its place in the window's keyboard order (a group box takes
        its first control's), or None."""
        if w.get('name') in self.tab:
            return self.tab[w.get('name')]
        keys = [k for k in (self.tab_key(c) for c in w.findall('widget')) if k is not None]
        return min(keys) if keys else None

    @staticmethod
    def names(label):
        """The control a caption label T<name> or a note NBof<name> belongs to."""
        m = re.match(r'^(?:NBof|T)(.+)$', label.get('name'))
        return m.group(1) if m and label.get('class') == 'QLabel' else None

    def rows(self, container):
        """The container's children as they are seen: rows of children whose
        heights overlap, top to bottom, each row left to right; a caption
        label T<name> moved right before its control <name>."""
        children = container.findall('widget')
        placed = sorted(children, key=lambda w: (rect_of(w)[1], rect_of(w)[0]))
        rows = []
        for w in placed:
            x, y, width, height = rect_of(w)
            if rows and y < rows[-1]['bottom']:
                rows[-1]['items'].append(w)
                rows[-1]['bottom'] = max(rows[-1]['bottom'], y + height)
            else:
                rows.append({'items': [w], 'bottom': y + height})
        rows = [sorted(row['items'], key=lambda w: (rect_of(w)[0], rect_of(w)[1])) for row in rows]
        siblings = {c.get('name') for c in children}
        captions = {self.names(c): c for c in children
                    if c.get('name').startswith('T') and self.names(c) in siblings and self.names(c) != c.get('name')}
        moved = {id(c) for c in captions.values()}
        out = []
        for row in rows:
            items = []
            for w in row:
                if id(w) in moved:
                    continue
                if w.get('name') in captions:
                    items.append(captions[w.get('name')])
                items.append(w)
            if items:
                out.append(items)
        return out

    # --- Elements ---------------------------------------------------------------

    def descriptions(self, container):
        """The description elements of the container's controls: controls
        next to each other in the order they are seen with the same
        description share one element, after the row of the last of them.
        Returns control name -> element id, and element id -> (text, the
        control whose row it follows)."""
        ids, elements = {}, {}
        run = None  # (text, element id) of the control just before
        for w in (w for row in self.rows(container) for w in row):
            if self.tab_key(w) is None:
                continue
            about = text_of(w, 'accessibleDescription')
            if not about:
                run = None
                continue
            if not run or run[0] != about:
                run = (about, w.get('name') + '-about')
            ids[w.get('name')] = run[1]
            elements[run[1]] = (about, w.get('name'))
        return ids, elements

    def widget(self, w, font, out, depth, screen, heading=False, described=None):
        cls = w.get('class')
        name = w.get('name')
        pad = '  ' * depth
        f = self.font_rule(w, font)
        sel = '#' + name
        self.css.append('%s { %s }' % (sel, self.font_css(f)))
        x, y, width, height = rect_of(w)
        auto = text_of(w, 'autoSize') == 'true'
        # Below a move log that has grown to hold its whole text, a control
        # moves down by as much; a screen grows by all of its logs'.
        top = grown(y, self.logs_above.get(name, []))
        tall = grown(height, [log.get('name') for log in self.logs_in(w)] if cls == 'QFrame' else [])
        if auto:
            self.wide.append('%s { left: %dpx; top: %s; }' % (sel, x, top))
        else:
            self.wide.append('%s { left: %dpx; top: %s; width: %dpx; height: %s; }' % (sel, x, top, width, tall))
        disabled = ' disabled' if text_of(w, 'enabled') == 'false' else ''
        esc = lambda s: html.escape(s or '', quote=True)
        # The name a screen reader gives: the caption label's text where the
        # control has one, else the stored accessibleName.
        stored_name = text_of(w, 'accessibleName')
        labelled = self.has_caption(w)
        named = ' aria-label="%s"' % esc(stored_name) if stored_name and not labelled else ''
        describedby = ' aria-describedby="%s"' % ' '.join(described) if described else ''

        if cls == 'QFrame':
            hidden = '' if name == START_SCREEN else ' hidden'
            first = self.rows(w)[0][0]
            titled = first.get('class') == 'QLabel' and prop(first, 'pixmap') is None
            heading = first.get('name') if titled else name + '-heading'
            out.append('%s<section id="%s" class="screen" aria-labelledby="%s"%s>' % (pad, name, heading, hidden))
            if not titled:
                # A screen that shows only a picture gets a heading for a
                # screen reader, to be moved to and named by.
                text = self.facts['texts'][SCREEN_HEADINGS[name]]
                out.append('%s  <h2 id="%s" class="visually-hidden" tabindex="-1">%s</h2>' % (pad, heading, esc(text)))
            self.children(w, f, out, depth + 1, name)
            out.append('%s</section>' % pad)
        elif cls == 'QGroupBox':
            out.append('%s<fieldset id="%s" class="group">' % (pad, name))
            out.append('%s  <legend class="title" id="%s-title">%s</legend>' % (pad, name, esc(text_of(w, 'title'))))
            self.children(w, f, out, depth + 1, screen)
            out.append('%s</fieldset>' % pad)
        elif cls in ('QLabel', 'ClickLabel') and prop(w, 'pixmap') is not None:
            picture = prop(w, 'pixmap').text.split('/')[-1]
            align = text_of(w, 'alignment') or ''
            shown = self.pictures.setdefault(picture, (screen, [], []))
            shown[1].append(sel)
            shown[2].append(((width, height), 'AlignCenter' in align))
            place = 'center' if 'AlignCenter' in align else 'left top'
            self.css.append('%s { background-position: %s; }' % (sel, place))
            about = text_of(w, 'accessibleDescription')
            if about:
                # The picture's content as text, before the picture.
                out.append('%s<p id="%s-text" class="picture-text">%s</p>' % (pad, name, esc(about)))
            out.append('%s<div id="%s" class="picture" aria-hidden="true"></div>' % (pad, name))
        elif cls == 'ClickLabel':
            cursor = 'pointer' if text_of(w, 'cursor') == 'PointingHandCursor' else 'auto'
            self.css.append('%s { cursor: %s; }' % (sel, cursor))
            out.append('%s<a id="%s" class="label link" href="%s" target="_blank" rel="noopener noreferrer">%s</a>'
                       % (pad, name, esc(self.facts['siteAddress']), esc(self.facts['siteHost'])))
        elif cls == 'QLabel':
            kind = 'label auto' if auto else 'label fixed'
            if 'AlignHCenter' in (text_of(w, 'alignment') or ''):
                kind += ' centred'
            owner = self.names(w)
            if name.startswith('T') and owner and self.find(owner) is not None:
                out.append('%s<label id="%s" for="%s" class="%s">%s</label>'
                           % (pad, name, owner, kind, esc(text_of(w, 'text'))))
            elif heading:
                out.append('%s<h2 id="%s" class="%s" tabindex="-1">%s</h2>' % (pad, name, kind, esc(text_of(w, 'text'))))
            elif self.results.get(name, {}).get('kind') == 'message':
                # A message line of the duel screen speaks when it changes.
                out.append('%s<div id="%s" class="%s" role="status">%s</div>' % (pad, name, kind, esc(text_of(w, 'text'))))
            else:
                out.append('%s<div id="%s" class="%s">%s</div>' % (pad, name, kind, esc(text_of(w, 'text'))))
        elif cls == 'QLineEdit':
            field = self.inputs.get(name)
            if field and (prop(w, 'maxLength') is not None or prop(w, 'text') is not None):
                # A second statement of the field's length or start-up text,
                # which could disagree with the core's.
                sys.exit('make_page: ui/Unit1.ui gives %s a maxLength or text; the core\'s field tables hold them' % name)
            if field:
                out.append('%s<input type="text" id="%s" class="edit" value="%s" maxlength="%d"%s%s%s '
                           'spellcheck="false" autocomplete="off">'
                           % (pad, name, esc(field['startUp']), field['maxLength'], disabled, named, describedby))
            elif self.results.get(name, {}).get('kind') == 'log':
                # A move log: one line from 760 pixels wide, wrapped below.
                out.append('%s<textarea id="%s" class="edit log" rows="1"%s%s%s spellcheck="false" '
                           'autocomplete="off">%s</textarea>'
                           % (pad, name, disabled, named, describedby, esc(text_of(w, 'text'))))
            else:
                sys.exit('make_page: %s is a line edit that is neither a field of the core nor one of the duel '
                         'screen\'s logs' % name)
        elif cls == 'QPushButton':
            out.append('%s<button type="button" id="%s" class="button"%s%s>%s</button>'
                       % (pad, name, disabled, named, esc(text_of(w, 'text'))))
        elif cls == 'QRadioButton':
            checked = ' checked' if text_of(w, 'checked') == 'true' else ''
            group = re.sub(r'\d+$', '', name)
            out.append('%s<label id="%s-box" class="radio"><input type="radio" id="%s" name="%s"%s%s>%s</label>'
                       % (pad, name, name, group, checked, disabled, esc(text_of(w, 'text'))))
            # The position belongs to the radio's box (button and caption).
            self.wide[-1] = self.wide[-1].replace(sel + ' ', sel + '-box ', 1)
            self.css[-1] = self.css[-1].replace(sel + ' ', sel + '-box ', 1)
        elif cls == 'QCheckBox':
            checked = ' checked' if text_of(w, 'checked') == 'true' else ''
            out.append('%s<input type="checkbox" id="%s" class="check"%s%s%s%s>'
                       % (pad, name, checked, disabled, named, describedby))
        else:
            sys.exit('make_page: no element for %s %s' % (cls, name))

    def find(self, name):
        for w in self.root.iter('widget'):
            if w.get('name') == name:
                return w
        return None

    def has_caption(self, w):
        caption = self.find('T' + w.get('name'))
        return caption is not None and caption.get('class') == 'QLabel'

    def is_log(self, w):
        """A move log: one of the duel screen's outputs the core calls a log."""
        return w.get('class') == 'QLineEdit' and self.results.get(w.get('name'), {}).get('kind') == 'log'

    def logs_in(self, container):
        return [w for w in container.iter('widget') if self.is_log(w)]

    def children(self, container, font, out, depth, screen):
        ids, elements = self.descriptions(container)
        # The move logs among the children, and the children wholly below each.
        for log in (c for c in container.findall('widget') if self.is_log(c)):
            bottom = rect_of(log)[1] + rect_of(log)[3]
            for c in container.findall('widget'):
                if rect_of(c)[1] >= bottom:
                    self.logs_above.setdefault(c.get('name'), []).append(log.get('name'))
        for number, row in enumerate(self.rows(container)):
            for child in row:
                name = child.get('name')
                notes = [n.get('name') for n in container.findall('widget')
                         if self.names(n) == name and n.get('name').startswith('NBof')]
                described = notes + ([ids[name]] if name in ids else [])
                heading = (number == 0 and child is row[0] and container.get('class') == 'QFrame'
                           and child.get('class') == 'QLabel' and prop(child, 'pixmap') is None)
                self.widget(child, font, out, depth, screen, heading, described)
            for ident, (about, last) in elements.items():
                if any(last == c.get('name') for c in row):
                    out.append('%s<span id="%s" class="about">%s</span>'
                               % ('  ' * depth, ident, html.escape(about)))

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
            self.widget(panel, font, out, 2, panel.get('name'))
        # The page's additions to a screen stand just below it, or below the
        # control named, as wide as it; below a log that has grown, lower.
        for extras, (screen, control) in SCREEN_EXTRAS.items():
            panel = self.find(screen)
            px, py, pw, ph = rect_of(panel)
            logs = [log.get('name') for log in self.logs_in(panel)]
            if control is None:
                self.wide.append('#%s { left: %dpx; top: %s; width: %dpx; }' % (extras, px, grown(py + ph + px, logs), pw))
            else:
                cx, cy, cw, ch = rect_of(self.find(control))
                self.wide.append('#%s { left: %dpx; top: %s; width: %dpx; }'
                                 % (extras, px + cx, grown(py + cy + ch + 8, self.logs_above.get(control, [])), cw))
        # Each screen's pictures are decoded when the screen is first shown:
        # their rules wait in an inert script element until then.
        lazy = []
        for picture, (screen, selectors, boxes) in self.pictures.items():
            kind, data, kept = self.picture_data('%s/%s' % (self.assets, picture), boxes)
            if kept:
                # Below 760 pixels a cut picture fills the screen's width.
                self.narrow.append('%s { aspect-ratio: %d / %d; }' % (selectors[0], kept[0], kept[1]))
            rule = '%s { background-image: url(data:%s;base64,%s); }' % (
                ', '.join(selectors), kind, base64.b64encode(data).decode('ascii'))
            lazy.append(inert_pieces(rule, 'text/css', 'screen-pictures', 'data-screen="%s"' % screen))
        title = text_of(form, 'windowTitle')
        return title, '\n'.join(out), '\n'.join(lazy)


def grown(pixels, logs):
    """A length in pixels grown by the growth of the move logs named: each
    log's --<name>-grow, which the page's script sets once the log holds more
    than its one line."""
    if not logs:
        return '%dpx' % pixels
    return 'calc(%dpx%s)' % (pixels, ''.join(' + var(--%s-grow, 0px)' % log for log in logs))


# The browser reads an inert script element's text the faster the shorter it
# is: one of 150 kB costs a slow phone several times what the same text in
# pieces of 8 kB does. Pieces are a multiple of four characters, so that each
# is whole base64.
INERT_PIECE = 8192


def inert_pieces(text, kind, cls, attributes=''):
    """A long text the page reads later, as inert script elements of class
    cls, in order: whoever reads it joins their texts."""
    return ''.join('<script type="%s" class="%s"%s>%s</script>' % (kind, cls, ' ' + attributes if attributes else '',
                                                                  text[at:at + INERT_PIECE])
                   for at in range(0, len(text), INERT_PIECE))


def grouped(rules):
    """Rules of one selector each, those with the same declarations joined
    into one rule (every selector names one element, so the order of the
    rules does not matter): a shorter style for the browser to read."""
    selectors = {}
    for rule in rules:
        selector, declarations = rule.split(' { ', 1)
        selectors.setdefault(declarations, []).append(selector)
    return ['%s { %s' % (', '.join(names), declarations) for declarations, names in selectors.items()]


def script_text(path):
    with open(path, encoding='utf-8') as f:
        text = f.read()
    # Nothing inside a script element may close it.
    return text.replace('</script', '<\\/script')


def ascii_only(page):
    """The page written in ASCII alone, every other character escaped in the
    way its context reads it back: a character reference in markup, a \\u
    escape in a script, a CSS escape in style. One character outside ASCII
    anywhere makes the browser hold the whole document, the large base64
    payloads included, at two bytes a character; in ASCII it keeps one and
    reads the page markedly faster. What the page shows is unchanged."""
    def script(text):
        out = []
        for c in text:
            code = ord(c)
            if code < 0x80:
                out.append(c)
            elif code < 0x10000:
                out.append('\\u%04x' % code)
            else:  # a surrogate pair
                code -= 0x10000
                out.append('\\u%04x\\u%04x' % (0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF)))
        return ''.join(out)

    def style(text):
        return ''.join(c if ord(c) < 0x80 else '\\%x ' % ord(c) for c in text)

    def markup(text):
        return ''.join(c if ord(c) < 0x80 else '&#%d;' % ord(c) for c in text)

    parts = re.split(r'(<script\b[^>]*>.*?</script>|<style\b[^>]*>.*?</style>)', page, flags=re.S)
    return ''.join(script(part) if part.startswith('<script') else style(part) if part.startswith('<style')
                   else markup(part) for part in parts)


def public_address(address):
    """The address the page is published at, for links anyone can open; empty
    for none. An http or https address without a fragment."""
    if address and not re.match(r'^https?://[^\s"<>#]+$', address):
        sys.exit('make_page: the public address must be an http:// or https:// address without "#": %r' % address)
    return address


def main():
    # @FILE reads arguments from FILE, one a line (the build writes make_page.args).
    ap = argparse.ArgumentParser(fromfile_prefix_chars='@')
    ap.add_argument('--ui', required=True)
    ap.add_argument('--facts', required=True, help="the core's facts, as web/PageFacts.cpp prints them")
    ap.add_argument('--assets', required=True)
    ap.add_argument('--template', required=True)
    # Several styles and scripts (the page's, then the fair duel's) go in in order.
    ap.add_argument('--style', required=True, action='append')
    ap.add_argument('--script', required=True, action='append')
    ap.add_argument('--boot', required=True, help='the first script, run before the screens are read')
    ap.add_argument('--wasm', required=True)
    ap.add_argument('--icon', required=True)
    ap.add_argument('--convert', help='ImageMagick convert, to write the large pictures as WebP')
    ap.add_argument('--public-address', default='',
                    help='the address the page is published at: links made on any copy point there')
    ap.add_argument('-o', '--output', required=True)
    a = ap.parse_args()

    with open(a.facts, encoding='utf-8') as f:
        facts = json.load(f)
    page = Page(a.ui, a.assets, facts, a.convert)
    title, screens, pictures = page.build()
    style = ''
    for path in a.style:
        with open(path, encoding='utf-8') as f:
            style += f.read()
    css = ('\n'.join(grouped(page.css)) + '\n@media (min-width: 760px) {\n' + '\n'.join(page.wide) + '\n}\n'
           '@media (max-width: 759px) {\n' + '\n'.join(page.narrow) + '\n}\n' + readable_css(style))
    with open(a.wasm, 'rb') as f:
        wasm = base64.b64encode(f.read()).decode('ascii')
    with open(a.icon, 'rb') as f:
        icon = base64.b64encode(f.read()).decode('ascii')
    with open(a.template, encoding='utf-8') as f:
        template = f.read()
    scripts = '\n'.join(script_text(path) for path in a.script)
    # The page carries the core's facts its script reads; of the texts, those
    # its scripts name (facts.texts.kName).
    used = set(re.findall(r'\btexts\.(k\w+)', scripts))
    unknown = used - facts['texts'].keys()
    if unknown:
        sys.exit('make_page: the scripts name texts the core does not have: %s' % ', '.join(sorted(unknown)))
    carried = {key: value for key, value in facts.items() if key not in ('texts', 'duelMessages')}
    carried['texts'] = {name: text for name, text in facts['texts'].items() if name in used}
    parts = {
        'TITLE': html.escape(title),
        'ADDRESS': html.escape(public_address(a.public_address), quote=True),
        'ICON': 'data:image/png;base64,' + icon,
        'STYLE': css,
        'SCREENS': screens,
        'PICTURES': pictures,
        'BOOT': script_text(a.boot),
        'WASM': inert_pieces(wasm, 'application/octet-stream', 'core-wasm'),
        'SCRIPT': scripts,
        # The core's facts for the page's script, as JSON (nothing in it may
        # close its script element).
        'FACTS': json.dumps(carried, ensure_ascii=False, separators=(',', ':')).replace('</', '<\\/'),
        # The fair check's field for each of the duel screen's outputs as
        # posted, FairPosted<name>.
        'FAIRPOSTED': '\n'.join('            <label for="FairPosted%s">%s</label>\n'
                                 '            <input type="text" id="FairPosted%s" class="edit wide" '
                                 'spellcheck="false" autocomplete="off">'
                                 % (r['name'], html.escape(r['postedCaption']), r['name'])
                                 for r in facts['duelResults']),
        'ODDS': '\n'.join('          <span>%s</span> <output id="%s"></output>'
                          % (html.escape(figure['label']), figure['control']) for figure in facts['oddsFigures']),
    }
    # @@NAME@@ is a part made above; @@kName@@ is a text of the core.
    def part(name):
        if name in parts:
            return parts[name]
        if name in facts['texts']:
            return html.escape(facts['texts'][name])
        sys.exit('make_page: the template names @@%s@@, which is neither a part nor a text of the core' % name)

    result = ascii_only(re.sub(r'@@(\w+)@@', lambda m: part(m.group(1)), template))
    # UTF-8's byte order mark first: the browser then reads the file as UTF-8
    # at once instead of finding its charset in its head, and decodes it in
    # half the time. The rest is ASCII.
    with open(a.output, 'wb') as f:
        f.write(codecs.BOM_UTF8 + result.encode('ascii'))


if __name__ == '__main__':
    main()
