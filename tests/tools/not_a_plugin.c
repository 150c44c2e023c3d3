/* tests/host/not_a_plugin.c: a library that loads but lacks the plug-in's
   exports. */
#if defined(_WIN32)
__declspec(dllexport)
#endif
    int NotAPlugin(void)
{
    return 0;
}
