// Names the document instance the top frame shows now: [window id, sequence],
// or null when the snapshot script never ran in it. Runs when the top-level
// load is over; a stopped load never fires the load event, so the document is
// read as it stands if it has not been yet.
(function () {
    'use strict';
    const state = window.__quorvaneState;
    if (!state)
        return null;
    if (typeof state.pending === 'function')
        state.pending();
    return [state.win, state.seq];
})();
