# Tests of the analysis windows and the navigator.
