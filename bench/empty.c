/* The anchor of the command-line process: a program that does nothing. */
int main(void) { return 0; }
