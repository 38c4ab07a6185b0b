// The least a program linked with the system's libraries can do: be loaded
// and end. The baseline of the start benchmark.
int main() { return 0; }
