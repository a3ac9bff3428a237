// A library to check: the test changes its headers one field at a time.
extern "C" int quillmont_elf_sample(int x) { return x + 1; }
