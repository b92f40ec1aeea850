// Reads the document of the frame it runs in and hands it to the browser
// adapter. Runs in an isolated world: in the top frame at document creation
// (so frame messages are never missed) and in every frame at document ready.
// The page cannot see this world's globals, but it can post look-alike frame
// messages; the adapter treats everything it receives as untrusted.
(function () {
    'use strict';

    const MAX_ITEMS = 100000;
    const MAX_CHARS = 32 * 1024 * 1024;  // UTF-16 units, about 64 MB
    const MOUSE_TEXT = 2000;
    const MOUSE_URL = 100000;
    const MAX_DEPTH = 32;
    // Per top document: frames may reload, but a page flooding fake reports is cut off.
    const MAX_FORWARDS = 10000;
    const MAX_FORWARD_CHARS = 4 * MAX_CHARS;
    const isTop = window === window.top;
    const TAG_NAME = Object.getOwnPropertyDescriptor(Element.prototype, 'tagName').get;
    // The elements whose interfaces define href and src.
    const HAS_HREF = new Set(['A', 'AREA', 'LINK', 'BASE']);
    const HAS_SRC = new Set(['IMG', 'SCRIPT', 'IFRAME', 'FRAME', 'INPUT', 'EMBED', 'SOURCE', 'TRACK', 'VIDEO',
                             'AUDIO']);
    // Whitespace other than a single blank between other characters, and
    // the control characters: where layout could make a text's rendering
    // differ from its characters.
    const LAYOUT_SENSITIVE = /[^\S ]|^ | $|  |[\u0000-\u001f\u007f-\u00a0\u00ad]/;

    // The browser's own style sheet hides the contents of a closed details
    // element and of an element hidden until found without taking them out
    // of the rendering: their rendered text is empty.
    const COLLAPSED = 'details, [hidden="until-found" i]';

    // The snapshot is one text of fields, each its length in UTF-16 units, a
    // colon and its characters: no character of a page needs escaping, and
    // the adapter reads it without a JSON parser. After the format and the
    // frame path: address, title, domain, body tag and frame count; the link
    // count, then address, text, rel and picture alt of each link; the image
    // count and their addresses; the element count, then for each its tag
    // and either "L" and the index of the link it is, or "E" and the number
    // of values that follow (text, href, src, META name and content, trailing
    // empty ones left out).
    const FORMAT = 'quorvane-snapshot/2';
    const NO_VALUES = '2:E0';

    // Survives document.open(), which keeps the window but replaces the document.
    let state = window.__quorvaneState;
    if (!state) {
        state = {
            win: Math.random().toString(36).slice(2) + Date.now().toString(36),
            seq: 0,
            root: undefined,
            bridge: null,
            channelStarted: false,
            queue: [],
            forwards: 0,
            forwardChars: 0,
        };
        Object.defineProperty(window, '__quorvaneState', { value: state });
        state.onMessage = onMessage;
        state.onMouse = onMouse;
    }

    startChannel();

    // One run per document: the creation run leaves root null, the ready run
    // of that same document then finds it; document.open() brings a new root.
    const root = document.documentElement;
    if (state.root !== undefined && (state.root === root || (state.root === null && root !== null))) {
        state.root = root;
        return;
    }
    state.root = root;
    state.seq += 1;
    state.forwards = 0;
    state.forwardChars = 0;
    const seq = state.seq;

    if (isTop) {
        // Text appended to a written document brings no new document: the
        // adapter asks for the grown one again, under the same sequence.
        state.retake = () => {
            const text = serialize([]);
            if (text !== null)
                deliver(state.seq, text);
        };
        // document.open() drops listeners; adding the same function again is a no-op otherwise.
        window.addEventListener('message', state.onMessage);
        for (const type of ['mouseover', 'mouseout', 'dblclick'])
            document.addEventListener(type, state.onMouse, true);
    }

    let taken = false;
    const take = () => {
        if (taken)
            return;
        taken = true;
        if (state.pending === take)
            state.pending = null;
        // Read at load time: script may have moved frames since.
        const path = isTop ? [] : framePath();
        const text = path === null ? null : serialize(path);
        if (text === null)
            return;
        if (isTop)
            deliver(seq, text);
        else
            window.top.postMessage({ quorvaneSnapshot: text }, '*');
    };
    if (isTop)
        state.pending = take;  // current.js calls it when a stopped load never fires load
    if (document.readyState === 'complete')
        take();
    else
        window.addEventListener('load', take, { once: true });

    function startChannel() {
        if (!isTop || state.channelStarted)
            return;
        if (typeof QWebChannel !== 'function' || typeof qt !== 'object' || !qt || !qt.webChannelTransport)
            return;
        state.channelStarted = true;
        new QWebChannel(qt.webChannelTransport, (channel) => {
            state.bridge = channel.objects.quorvaneBridge || null;
            flush();
        });
    }

    function deliver(docSeq, text) {
        state.queue.push([docSeq, text]);
        startChannel();
        flush();
    }

    function flush() {
        if (!state.bridge)
            return;
        const queued = state.queue;
        state.queue = [];
        for (const [docSeq, text] of queued)
            state.bridge.snapshot(state.win, docSeq, text);
    }

    function onMessage(event) {
        let text;
        try {
            const data = event.data;
            text = data && typeof data === 'object' ? data.quorvaneSnapshot : undefined;
        } catch (e) {
            return;
        }
        if (typeof text !== 'string' || text.length > MAX_CHARS)
            return;
        // A report describes the frame that sent it, at the place found here
        // from the sender: a page or frame cannot report for the top document
        // or for another frame.
        const path = pathOf(event.source);
        if (path === null || path.length === 0 || !text.startsWith(header(path)))
            return;
        if (state.forwards >= MAX_FORWARDS || state.forwardChars + text.length > MAX_FORWARD_CHARS)
            return;
        state.forwards += 1;
        state.forwardChars += text.length;
        deliver(state.seq, text);
    }

    function onMouse(event) {
        // Only the user's own pointer: a page raising events itself could fill
        // catalogs or open message box after message box.
        if (!state.bridge || !event.isTrusted)
            return;
        const el = event.target;
        if (!(el instanceof Element))
            return;
        const link = el.closest('a[href], area[href]');
        const href = link ? link.href : el.href;
        const info = {
            tag: tagOf(el),
            href: clip(href, MOUSE_URL),
            src: clip(el.src, MOUSE_URL),
            text: textOf(el, MOUSE_TEXT),
        };
        state.bridge.mouse(event.type, JSON.stringify(info));
    }

    // Index chain from this (top) window to target, or null; frames and their
    // indexes are readable across origins.
    function pathOf(target) {
        if (!target || target === window)
            return null;
        const walk = (w, chain) => {
            if (chain.length >= MAX_DEPTH)
                return null;
            let frames;
            try {
                frames = w.frames;
                for (let i = 0; i < frames.length; ++i) {
                    const here = chain.concat([i]);
                    if (frames[i] === target)
                        return here;
                    const found = walk(frames[i], here);
                    if (found)
                        return found;
                }
            } catch (e) {
                return null;
            }
            return null;
        };
        return walk(window, []);
    }

    // Index chain from the top; parent.frames[i] is readable across origins.
    function framePath() {
        const chain = [];
        try {
            let w = window;
            while (w !== w.parent) {
                if (chain.length >= MAX_DEPTH)
                    return null;
                const parent = w.parent;
                let index = -1;
                for (let i = 0; i < parent.frames.length; ++i) {
                    if (parent.frames[i] === w) {
                        index = i;
                        break;
                    }
                }
                if (index < 0)
                    return null;
                chain.unshift(index);
                w = parent;
            }
        } catch (e) {
            return null;
        }
        return chain;
    }

    // Through the prototype getter: nothing the page names or defines stands in for it.
    function docProp(name) {
        const d = Object.getOwnPropertyDescriptor(Document.prototype, name);
        try {
            return d && d.get ? d.get.call(document) : undefined;
        } catch (e) {
            return undefined;
        }
    }

    // A form's named controls shadow its properties; the prototype getter cannot be.
    function tagOf(el) {
        return String(TAG_NAME.call(el)).toUpperCase();
    }

    function clip(value, limit) {
        if (typeof value !== 'string')
            return '';
        return value.length > limit ? value.slice(0, limit) : value;
    }

    function textOf(el, limit) {
        let text = el.outerText;
        if (typeof text !== 'string')
            text = el.textContent;
        return clip(text, limit);
    }

    // How the texts of this document may be read without laying it out:
    // null when anything but the browser's own style sheet styles it (a style
    // sheet, an adopted one, a style attribute, an open shadow tree whose
    // styles could reach elements slotted into it).
    function plainTextReading(hasShadowTree) {
        const sheets = docProp('styleSheets');
        const adopted = docProp('adoptedStyleSheets');
        if (hasShadowTree || !sheets || sheets.length !== 0 || (adopted && adopted.length !== 0))
            return null;
        const query = (selector) => Document.prototype.querySelector.call(document, selector);
        if (query('[style]') !== null)
            return null;
        return { collapsible: query(COLLAPSED) !== null };
    }

    // outerText without laying the page out where it provably equals the
    // text content: in an unstyled document, an element holding text only,
    // with no whitespace that rendering would collapse and outside anything
    // the browser collapses. Such text renders as it is written, and an
    // element not rendered gives its text content anyway.
    function renderedText(el, limit, plain, childless) {
        if (plain && childless && !(plain.collapsible && el.closest(COLLAPSED))) {
            const text = el.textContent;
            if (typeof text === 'string' && !LAYOUT_SENSITIVE.test(text))
                return clip(text, limit);
        }
        return textOf(el, limit);
    }

    // The alt of an area, or of the first image with one inside a link.
    function altOf(el, tag, childless) {
        if (tag === 'AREA')
            return el.getAttribute('alt') || '';
        // Most links hold text only: no selector to run over them.
        if (childless)
            return '';
        const image = el.querySelector ? el.querySelector('img[alt]') : null;
        return image ? image.getAttribute('alt') || '' : '';
    }

    function field(value) {
        return value.length + ':' + value;
    }

    function header(where) {
        return field(FORMAT) + field(where.join(','));
    }

    function collect(where, maxItems, maxChars) {
        const body = docProp('body');
        const out = [header(where), field(clip(docProp('URL'), maxChars)), field(clip(docProp('title'), maxChars)),
                     field(clip(docProp('domain'), maxChars)), field(body ? tagOf(body) : ''),
                     field(String(window.frames.length >>> 0))];
        if (maxItems === 0) {
            out.push(field('0'), field('0'), field('0'));
            return out.join('');
        }
        // Each element is read once, in document order; the links among
        // them come in that same order, so one pass pairs each link with its
        // element without a lookup per element.
        const all = Document.prototype.getElementsByTagName.call(document, '*');
        const total = all.length;
        const elementCount = Math.min(total, maxItems);
        const elements = new Array(elementCount);
        const tags = new Array(elementCount);
        let hasShadowTree = false;
        for (let i = 0; i < total; ++i) {
            const el = all[i];
            if (i < elementCount) {
                elements[i] = el;
                tags[i] = tagOf(el);
            }
            if (!hasShadowTree && el.shadowRoot)
                hasShadowTree = true;
        }
        const plain = plainTextReading(hasShadowTree);
        // Rendered text costs layout work: each link's is taken once, and an
        // element's entry names its link instead of repeating it.
        const linkAt = new Array(elementCount).fill(-1);
        const links = docProp('links');
        const linkCount = links ? Math.min(links.length, maxItems) : 0;
        out.push(field(String(linkCount)));
        let next = 0;
        for (let i = 0; i < linkCount; ++i) {
            const link = links[i];
            let at = next;
            while (at < elementCount && elements[at] !== link)
                ++at;
            let tag;
            if (at < elementCount) {
                tag = tags[at];
                if (tag === 'A')
                    linkAt[at] = i;
                next = at + 1;
            } else {
                // Past the elements read (so are the links after it): no more scans.
                tag = tagOf(link);
                next = elementCount;
            }
            const childless = !link.firstElementChild;
            out.push(field(clip(link.href, maxChars)), field(renderedText(link, maxChars, plain, childless)),
                     field(clip(link.getAttribute('rel') || '', 2048)), field(clip(altOf(link, tag, childless), 2048)));
        }
        const images = docProp('images');
        const imageCount = images ? Math.min(images.length, maxItems) : 0;
        out.push(field(String(imageCount)));
        for (let i = 0; i < imageCount; ++i)
            out.push(field(clip(images[i].src, maxChars)));
        out.push(field(String(elementCount)));
        // Most elements carry nothing but their tag: one field text per tag
        // name, and no row to build for them.
        const tagFields = new Map();
        for (let i = 0; i < elementCount; ++i) {
            const el = elements[i];
            const tag = tags[i];
            let tagField = tagFields.get(tag);
            if (tagField === undefined) {
                tagField = field(tag);
                tagFields.set(tag, tagField);
            }
            if (linkAt[i] >= 0) {
                out.push(tagField, field('L' + linkAt[i]));
                continue;
            }
            // Text only where the logic reads it: every element's text would
            // copy the page per nesting level. Only elements of these kinds
            // have an href or a src in this world; the page's own properties
            // on other elements are out of its sight.
            const text = tag === 'P' || tag === 'A' ? renderedText(el, maxChars, plain, !el.firstElementChild) : '';
            const href = HAS_HREF.has(tag) ? clip(el.href, maxChars) : '';
            const src = HAS_SRC.has(tag) ? clip(el.src, maxChars) : '';
            const values = tag === 'META' ? [text, href, src, clip(el.name, maxChars), clip(el.content, maxChars)]
                         : src !== '' ? [text, href, src]
                         : href !== '' ? [text, href]
                         : text !== '' ? [text]
                         : null;
            if (values === null) {
                out.push(tagField, NO_VALUES);
                continue;
            }
            while (values.length > 0 && values[values.length - 1] === '')
                values.pop();
            out.push(tagField, field('E' + values.length));
            for (const value of values)
                out.push(field(value));
        }
        return out.join('');
    }

    // Falls back to smaller snapshots rather than sending none at all.
    function serialize(where) {
        for (const [items, chars] of [[MAX_ITEMS, MAX_CHARS], [10000, 2048], [0, 2048]]) {
            try {
                const text = collect(where, items, chars);
                if (text.length <= MAX_CHARS)
                    return text;
            } catch (e) {
                // Too large for one string: try the smaller form.
            }
        }
        return null;
    }
})();
