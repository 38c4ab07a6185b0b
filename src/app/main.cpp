// Process entry of Trekora.
int main() { return 0; }
