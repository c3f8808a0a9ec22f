/* Places the compiled resources (a standard .res image) in the library's
 * read-only ".rsrc" section, where the host finds them by name, as a Windows
 * library carries its resources. */
__asm__(
    ".pushsection .rsrc,\"a\",@progbits\n"
    ".incbin \"" ORBALIS_RESOURCE_FILE
    "\"\n"
    ".popsection\n");
