// Outlines the links of the shown page that point to the given address, and
// scrolls the first into view. The address comes as data, never as source.
(function (href) {
    var found = null;
    var links = document.querySelectorAll('a[href], area[href]');
    for (var i = 0; i < links.length; ++i) {
        if (links[i].href === href) {
            links[i].style.outline = '3px solid #e8a000';
            links[i].style.backgroundColor = '#fff3c4';
            if (!found)
                found = links[i];
        }
    }
    if (found)
        found.scrollIntoView({block: 'center'});
    return found !== null;
})
