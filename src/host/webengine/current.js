// Names the document instance the top frame shows now and the size of its
// body: [window id, sequence, bytes], the window id null when the snapshot
// script never ran in it. Runs when the top-level load is over; a stopped load
// never fires the load event, so the document is read as it stands if it has
// not been yet.
(function () {
    'use strict';
    // Filled in once the whole body is in (0 for a stopped load); this world's
    // performance object is out of the page's reach.
    const entry = performance.getEntriesByType('navigation')[0];
    const bytes = entry && typeof entry.decodedBodySize === 'number' ? entry.decodedBodySize : 0;
    const state = window.__quorvaneState;
    if (!state)
        return [null, 0, bytes];
    if (typeof state.pending === 'function')
        state.pending();
    return [state.win, state.seq, bytes];
})();
