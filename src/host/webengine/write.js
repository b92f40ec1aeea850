// Writes HTML text into the shown document. The adapter appends the call with
// the text as a JSON string argument and a flag, so this file must end with
// the closing parenthesis of the function expression.
//
// Without the flag the text replaces the document (open, write, close). With
// it the text is added at the end of the body of the document written before,
// so a growing document costs the new text only, not all of it again; it
// answers false when that document is gone (a script in it opened another,
// or the body is not a BODY), and the adapter then writes everything anew.
// Returns false when the document cannot be opened (not an HTML document).
(function (text, append) {
    'use strict';
    if (typeof text !== 'string')
        return false;
    try {
        if (append) {
            const body = document.body;
            if (!body || document.documentElement !== window.__quorvaneWrittenRoot || body.tagName !== 'BODY')
                return false;
            body.insertAdjacentHTML('beforeend', text);
            return true;
        }
        document.open();
        document.write(text);
        document.close();
        Object.defineProperty(window, '__quorvaneWrittenRoot',
                              { value: document.documentElement, configurable: true, writable: true });
        return true;
    } catch (e) {
        return false;
    }
})
