; The demo's user variables: the index of the last picked choice.
.kind uservar
.var choice 0 0 4
