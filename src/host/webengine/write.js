// Replaces the shown document with HTML text. The adapter appends the call
// with the text as a JSON string argument, so this file must end with the
// closing parenthesis of the function expression. Returns false when the
// document cannot be opened (not an HTML document).
(function (text) {
    'use strict';
    if (typeof text !== 'string')
        return false;
    try {
        document.open();
        document.write(text);
        document.close();
        return true;
    } catch (e) {
        return false;
    }
})