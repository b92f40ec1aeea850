// Holds a link's navigation for the double-click interval while the window
// files double-clicked links (a catalog entry is chosen): the first click of a
// double click would otherwise leave the page before the second arrives.
// Runs in the program's own world, so the page can neither see nor undo it.
// The program sets window.quorvaneLinkHold to the interval in ms (0: off).
(function () {
    if (window.quorvaneLinkHoldInstalled)
        return;
    window.quorvaneLinkHoldInstalled = true;
    let pending = null;
    const released = new WeakSet();
    const cancel = function () {
        if (pending) {
            clearTimeout(pending);
            pending = null;
        }
    };
    window.addEventListener('click', function (event) {
        const hold = window.quorvaneLinkHold || 0;
        if (hold <= 0 || released.has(event) || event.button !== 0
            || event.ctrlKey || event.shiftKey || event.altKey || event.metaKey)
            return;
        const target = event.target;
        const link = target && target.closest ? target.closest('a[href], area[href]') : null;
        if (!link)
            return;
        event.preventDefault();
        event.stopImmediatePropagation();
        // The second click of a double click: the double click takes the link.
        cancel();
        if (event.detail > 1)
            return;
        pending = setTimeout(function () {
            pending = null;
            // No second click came: the link is followed as the click would have.
            const again = new MouseEvent('click', {bubbles: true, cancelable: true, view: window, detail: 1});
            released.add(again);
            link.dispatchEvent(again);
        }, hold);
    }, true);
    window.addEventListener('dblclick', cancel, true);
})();
