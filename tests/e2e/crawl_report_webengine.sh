#!/usr/bin/env bash
# The crawl and report of crawl_report.sh with WebBrowser2 on QtWebEngine, the
# engine for sites built by script.
QUORVANE_E2E_HIDDEN_ENGINE=webengine exec bash "$(dirname "${BASH_SOURCE[0]}")/crawl_report.sh" "$@"
