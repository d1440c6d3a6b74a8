// A library made only of other libraries still needs one source of its own.
