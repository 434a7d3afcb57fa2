// The one source of the targets that own the precompiled Qt headers; the headers are the
// point, this file only gives them something to compile.
